# The data server and the program folder that the demo (demo/run.sh) and the scripted X session
# test (tests/sessione_x) both prepare; sourced by them, from the source folder.
#
#   prepara_servizio SERVER_BIN PROFILE_BIN WORK HOME_DIR SIZE SEED DESCRIPTION
#
# generates the sample of SIZE into WORK/sample.db, fills HOME_DIR with the code table KYX.Tbl and
# a KYX.INI holding one profile (the sample's first user, password stored) for our data server,
# which it starts on a free loopback port (SERVER_PID, PORT; its output in WORK/server.out).
# ferma_servizio stops the server; callers put it in their EXIT trap.

ferma_servizio() {
  if [ -n "${SERVER_PID:-}" ] && kill -0 "$SERVER_PID" 2>/dev/null; then
    kill "$SERVER_PID" 2>/dev/null || true
    wait "$SERVER_PID" 2>/dev/null || true
  fi
}

prepara_servizio() {
  local server_bin=$1 profile_bin=$2 work=$3 home_dir=$4 size=$5 seed=$6 description=$7
  mkdir -p "$home_dir/Dati/STORICO" "$home_dir/Dati/EXPORT" "$home_dir/Dati/PREFERITI"
  python3 tools/dataserver/make_tbl.py "$home_dir/KYX.Tbl"
  echo "servizio: generating the $size sample (seed $seed)"
  "$server_bin" --generate "$work/sample.db" --seed "$seed" --size "$size"

  "$server_bin" --db "$work/sample.db" --tbl "$home_dir/KYX.Tbl" --port 0 >"$work/server.out" 2>&1 &
  SERVER_PID=$!
  PORT=""
  for _ in $(seq 1 100); do
    PORT=$(sed -n 's/^port \([0-9][0-9]*\)$/\1/p' "$work/server.out")
    [ -n "$PORT" ] && break
    kill -0 "$SERVER_PID" 2>/dev/null || { cat "$work/server.out" >&2; return 1; }
    sleep 0.1
  done
  [ -n "$PORT" ] || { echo "servizio: the data server did not start" >&2; return 1; }
  echo "servizio: data server on 127.0.0.1:$PORT"

  local user password system
  user=$(sed -n 's/.*kUser\[\] = "\(.*\)";.*/\1/p' tools/dataserver/generator.h)
  password=$(sed -n 's/.*kPassword\[\] = "\(.*\)";.*/\1/p' tools/dataserver/generator.h)
  system=$(sed -n 's/.*kSales\[\] = "\(.*\)";.*/\1/p' tools/dataserver/generator.h)
  "$profile_bin" "$home_dir" 127.0.0.1 "$PORT" "$user" "$password" "$system" "$description"
}
