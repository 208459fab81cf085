#include "common/stato_db.h"

namespace kyx {

std::unique_ptr<data::Connection> Cn_SQL;
std::unique_ptr<data::Recordset> Rs_Master;

std::unique_ptr<data::Connection> Cn_MDB0;
std::unique_ptr<data::TableRecordset> Rs_Sinf;
std::unique_ptr<data::TableRecordset> Rs_Aree;
std::unique_ptr<data::TableRecordset> Rs_Chiavi;
std::unique_ptr<data::TableRecordset> Rs_Chiavi_Ext;
std::unique_ptr<data::TableRecordset> Rs_Valori;
std::unique_ptr<data::TableRecordset> Rs_Layout;
std::unique_ptr<data::TableRecordset> Rs_Lay_Elem;
std::unique_ptr<data::TableRecordset> Rs_Lay_Drill;
std::unique_ptr<data::TableRecordset> Rs_Lay_Filtro;
std::unique_ptr<data::TableRecordset> Rs_Struttura;
std::unique_ptr<data::TableRecordset> Rs_Filtro;
int16_t Sinf_Idx_Key = 0;
int16_t Sinf_Idx_Max = 0;

std::unique_ptr<data::Connection> Cn_MDB1;
std::unique_ptr<data::TableRecordset> Rs_Descrizioni;

std::unique_ptr<data::Connection> Cn_MDB2;
std::unique_ptr<data::TableRecordset> Rs_Caricati;
std::unique_ptr<data::TableRecordset> Rs_Dati_Caricati;

std::unique_ptr<data::Connection> Cn_MDB3;
std::unique_ptr<data::TableRecordset> Rs_Dati;
std::unique_ptr<data::TableRecordset> Rs_Dati_L2;
int16_t Numero_Chiavi_DATI = 0;

std::unique_ptr<data::Recordset> Rs_Lavoro;

namespace stato_db {

void reset() {
  // Recordsets go before the connections they were opened on.
  Rs_Lavoro.reset();
  Rs_Master.reset();
  for (auto* rs : {&Rs_Sinf, &Rs_Aree, &Rs_Chiavi, &Rs_Chiavi_Ext, &Rs_Valori, &Rs_Layout,
                   &Rs_Lay_Elem, &Rs_Lay_Drill, &Rs_Lay_Filtro, &Rs_Struttura, &Rs_Filtro,
                   &Rs_Descrizioni, &Rs_Caricati, &Rs_Dati_Caricati, &Rs_Dati, &Rs_Dati_L2}) {
    rs->reset();
  }
  for (auto* cn : {&Cn_SQL, &Cn_MDB0, &Cn_MDB1, &Cn_MDB2, &Cn_MDB3}) cn->reset();
  Sinf_Idx_Key = 0;
  Sinf_Idx_Max = 0;
  Numero_Chiavi_DATI = 0;
}

}  // namespace stato_db
}  // namespace kyx
