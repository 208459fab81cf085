#pragma once
// Program-wide shared state of the main program: one instance of each variable for the whole
// program, read directly by every subsystem. Each variable has one initialising writer, named in
// the comment of its group. The connections and recordsets of the local databases are in
// stato_db.h.
//
// Types follow the stored and compared widths: 8-bit values stay uint8_t (Byte), 16-bit int16_t
// (Integer), 32-bit int32_t (Long); colours are 32-bit OLE colours (an RGB value, or a system
// colour with the top bit set, hence negative). Text is Windows-1252.
#include <array>
#include <cstdint>
#include <string>

namespace kyx {

// An OLE colour literal such as &H8000000F as the signed 32-bit value the program stores.
constexpr int32_t Colore_OLE(uint32_t valore) { return static_cast<int32_t>(valore); }

// ---- Program paths and identity (start-up, Main) -----------------------------------------------
// Cartella_Programma is the program folder with its closing separator. On Linux it ends with "/";
// the folder texts appended to it keep their Windows form ("Dati\") and are turned into Linux
// paths at the file-system boundary.
extern std::string Cartella_Programma;
extern std::string File_Ini;       // Cartella_Programma & "KYX.INI"
extern std::string File_Istanze;   // Cartella_Programma & "KYX.DAT"
extern std::string File_Aiuto;     // Cartella_Programma & "KYX.CHM": the program's help file
extern std::string Separatore_Decimale;  // the locale's decimal separator, one character
extern std::string Titolo_Programma;     // caption of every message box
extern std::string Testo_Contatti;       // contact text shown from the main window's logo
extern std::string Riga_Comando;         // trimmed command-line arguments ("/NOHOOK", "/AUTO", "/LOG")

// ---- Options of section "OPZ" (start-up, Main) --------------------------------------------------
extern bool Compattare;
extern int32_t Compatta_Descrizioni;
extern int32_t Compatta_Dati;
extern bool Debug_Attivo;
extern std::string Messaggio_Avvio;
extern bool Messaggio_Presente;
extern int32_t Aspetto;
extern int32_t Aspetto_Piatto;
extern int32_t Colore_Sfondo;
extern int32_t Colore_Bordo;

// ---- Window settings of section "Generale" and run-time state (main-window preparation) --------
extern double Per_Altezza;
extern double Per_Larghezza;
extern int16_t Grafico_Tipo;
extern bool Grafico_Percentuale;
extern bool Grafico_Serie;
extern bool Grafico_In_Righe;
extern bool Grafico_Divisioni_X;
extern bool Grafico_Etichette_X;
extern bool Grafico_Divisioni_Y;
extern bool Grafico_Etichette_Y;
extern bool Grafico_Etichette_Y2;
extern int16_t Elementi_Grafico;
extern uint8_t Funzione_Mouse;
extern int32_t Anno_Riferimento;
extern bool Anno_In_Uso;  // the information system has a reference-year key (set by the key tree)
extern int16_t Ordinamento_Layout;
extern bool Connesso;
extern bool Grafico_Visibile;
extern bool In_Caricamento;
extern uint8_t Operatore_Filtro;
extern std::array<int16_t, 14> Larghezze_Codici;
extern std::array<int16_t, 7> Larghezze_Caricati;
extern int32_t Storico_Primo;
extern int32_t Storico_Ultimo;
extern int32_t Elaborazione_Corrente;
extern int16_t Layout_Precedente;

// ---- Connection profile (Carica_Opzioni) --------------------------------------------------------
extern int16_t Profilo_Principale;
extern std::string Sistema_Informativo;
extern std::string Descrizione_Sistema;
extern bool Profilo_In_Elenco;
extern std::string Server_Nome;
extern std::string Server_Porta;
extern std::string Nome_Utente;
extern std::string Password_Utente;  // blanks kept as "^", ten "^" when none
extern std::string DataBase_SQL;
extern std::string Data_Descrizioni;
extern std::string Cartella_Dati;
extern std::string Cartella_Storico;
extern std::string Cartella_Esportazione;
extern std::string Cartella_Preferiti;
extern std::string File_MDB0;
extern std::string File_MDB1;
extern std::string File_MDB2;
extern std::string File_MDB3;
extern std::string File_Storico_1;
extern std::string File_Storico_2;
extern std::string File_Aree;
extern std::string File_Chiavi;
extern std::string File_Sistemi;
extern std::string File_Valori;
extern std::string File_Layout;
extern std::string File_Layout_Elementi;
extern std::string File_Drill;
extern std::string File_Filtro_Utente;
extern std::string File_Struttura_Utente;
extern bool Precisione_15;
extern bool Preferiti_Aggiorna;
extern bool Memorizza_Colonne;
extern bool Storico_Pulizia_Login;
extern bool Visualizza_Excel;
extern bool Descrizioni_Aggiuntive;
extern bool Righe_Zero;
extern bool Messaggi_Aiuto;
extern int32_t Precisione_Colore;
extern int32_t Elementi_Storico;
extern uint8_t Esportazione_Estensione;
extern uint8_t Adatta_Dopo_Elaborazione;
extern std::string Font_Nome;
extern bool Font_Grassetto;
extern bool Font_Corsivo;
extern float Font_Dimensione;
extern std::array<int32_t, 24> Colori;          // by row kind: 2i foreground, 2i+1 background
extern std::array<int32_t, 72> Colori_Livello;  // by level: 2i foreground, 2i+1 background
extern std::array<std::string, 9> Nomi_Livello;
extern std::string Spazi_Misura;

// ---- Print settings of section "Stampante" (Carica_Impostazioni_Stampa) ------------------------
extern std::string Stampa_Stampante;
extern bool Stampa_Verticale;
extern bool Stampa_Filtro;
extern bool Stampa_Dati;
extern bool Stampa_Adatta;
extern bool Stampa_Adatta_Colonne;
extern bool Stampa_Adatta_Font;
extern bool Stampa_Allinea_X;
extern bool Stampa_Livello_1;
extern std::array<int16_t, 4> Stampa_Margini_mm;  // left, right, top, bottom
extern std::array<int32_t, 4> Stampa_Margini;     // the same in twips
extern int32_t Stampa_Margine_Cella;
extern int32_t Stampa_Copie;
extern int32_t Stampa_Font_Max;
// Alternate-row toggle of the printed rows and of the exports that colour rows alternately: each
// sets it to True before its rows and inverts it after every row; it carries nothing between uses.
extern bool Riga_Alternata;

// ---- Login and server connection (login dialog, login sequence) --------------------------------
extern int16_t Profilo_Corrente;
extern int16_t Profilo_Salvato;
extern int16_t Numero_Profili;
extern int16_t Indice_Sistema_Server;
extern std::string Libreria_Sistema;
extern std::string Separatore_Valori;

// ---- Column headers (Conta_Righe_Intestazione) --------------------------------------------------
extern int32_t Righe_Intestazione;

namespace stato {
// Puts every variable of this header back to its state before start-up, so tests start clean.
void reset();
}  // namespace stato

}  // namespace kyx
