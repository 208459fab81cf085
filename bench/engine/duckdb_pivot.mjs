// The benchmark's pivot in DuckDB on one thread: the fact rows loaded from the CSV file into an
// in-memory table (timed apart), then the same cross-tab twice (the first query and a warm one):
// area x agent by month of the sum of both slots, a subtotal per area and the grand total, from
// one GROUP BY ROLLUP with a FILTER sum per month. The result rows are read into JavaScript values
// inside the clock. Prints "duckdb_load S", "duckdb_first S", "duckdb_query S" and writes the
// result, one line per row (area, agent, the twelve months; "*" for a rolled-up key), to OUT.
//
//   node duckdb_pivot.mjs FACTS.csv OUT
import { writeFileSync } from 'node:fs';
import { DuckDBInstance } from '@duckdb/node-api';

const [facts, out] = process.argv.slice(2);
const now = () => Number(process.hrtime.bigint()) / 1e9;
const months = Array.from({ length: 12 }, (_, i) => String(i + 1).padStart(2, '0'));
const pivot =
  "SELECT coalesce(area, '*') AS area, coalesce(agent, '*') AS agent, " +
  months.map((m) => `sum(v1 + v2) FILTER (WHERE month = '${m}') AS m${m}`).join(', ') +
  ' FROM facts GROUP BY ROLLUP (area, agent)';

const instance = await DuckDBInstance.create(':memory:', { threads: '1' });
const con = await instance.connect();
const threads = (await con.runAndReadAll("SELECT current_setting('threads')")).getRows()[0][0];
if (Number(threads) !== 1) throw new Error(`DuckDB runs ${threads} threads, not 1`);

let t = now();
await con.run(
  `CREATE TABLE facts AS SELECT * FROM read_csv('${facts}', header = true, columns = ` +
    "{'area': 'VARCHAR', 'agent': 'VARCHAR', 'month': 'VARCHAR', 'v1': 'DOUBLE', 'v2': 'DOUBLE'})");
const load = now() - t;

t = now();
let rows = (await con.runAndReadAll(pivot)).getRows();
const first = now() - t;
t = now();
rows = (await con.runAndReadAll(pivot)).getRows();
const query = now() - t;

writeFileSync(out, rows.map((r) => r.map((v) => (v === null ? '' : String(v))).join('\t')).join('\n') + '\n');
console.log(`duckdb_load ${load.toFixed(4)}`);
console.log(`duckdb_first ${first.toFixed(4)}`);
console.log(`duckdb_query ${query.toFixed(4)}`);
console.log(`duckdb_rows ${rows.length}`);
