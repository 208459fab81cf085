#pragma once
// Program-wide connections and recordsets of the local databases and of the SQL Server source.
// They are shared state like the rest of stato.h, kept apart because they carry the data layer's
// types. Each connection, with the recordsets opened on it, stays open until its database is
// closed, the profile changes or the program ends; the database code (db/) opens and closes them,
// and every subsystem reads through them (the Foundation's key formatting and filter translation
// included). An empty pointer is a closed connection or recordset.
#include <cstdint>
#include <memory>

#include "platform/data/connection.h"
#include "platform/data/recordset.h"
#include "platform/data/table_recordset.h"

namespace kyx {

// ---- SQL Server source (login and download sequence) --------------------------------------------
extern std::unique_ptr<data::Connection> Cn_SQL;
extern std::unique_ptr<data::Recordset> Rs_Master;

// ---- Definitions database KYX_0.MDB ------------------------------------------------------------
extern std::unique_ptr<data::Connection> Cn_MDB0;
// One indexed recordset on each definitions table, for Seek.
extern std::unique_ptr<data::TableRecordset> Rs_Sinf;
extern std::unique_ptr<data::TableRecordset> Rs_Aree;
extern std::unique_ptr<data::TableRecordset> Rs_Chiavi;
extern std::unique_ptr<data::TableRecordset> Rs_Chiavi_Ext;
extern std::unique_ptr<data::TableRecordset> Rs_Valori;
extern std::unique_ptr<data::TableRecordset> Rs_Layout;
extern std::unique_ptr<data::TableRecordset> Rs_Lay_Elem;
extern std::unique_ptr<data::TableRecordset> Rs_Lay_Drill;
extern std::unique_ptr<data::TableRecordset> Rs_Lay_Filtro;
extern std::unique_ptr<data::TableRecordset> Rs_Struttura;
extern std::unique_ptr<data::TableRecordset> Rs_Filtro;
// The current information system's key of kind "I" (its values are key numbers) and that key's
// length, the highest key number it can select.
extern int16_t Sinf_Idx_Key;
extern int16_t Sinf_Idx_Max;

// ---- Descriptions database KYX_1.MDB ------------------------------------------------------------
extern std::unique_ptr<data::Connection> Cn_MDB1;
extern std::unique_ptr<data::TableRecordset> Rs_Descrizioni;

// ---- Data-set database KYX_2.MDB ----------------------------------------------------------------
extern std::unique_ptr<data::Connection> Cn_MDB2;
extern std::unique_ptr<data::TableRecordset> Rs_Caricati;
// The data table being filled by a data-set load.
extern std::unique_ptr<data::TableRecordset> Rs_Dati_Caricati;

// ---- Result work database KYX_3.MDB -------------------------------------------------------------
extern std::unique_ptr<data::Connection> Cn_MDB3;
extern std::unique_ptr<data::TableRecordset> Rs_Dati;
extern std::unique_ptr<data::TableRecordset> Rs_Dati_L2;
extern int16_t Numero_Chiavi_DATI;

// ---- Work recordset shared by the filter translation, the trees, the printing, the export and
// the engine: each user replaces it with its own recordset.
extern std::unique_ptr<data::Recordset> Rs_Lavoro;

namespace stato_db {
// Closes and releases every recordset and connection above and clears the numbers.
void reset();
}  // namespace stato_db

}  // namespace kyx
