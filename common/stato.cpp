#include "common/stato.h"

namespace kyx {

// Every variable starts as BASIC starts its globals: empty text, False, zero. The list below is the
// one place that names them all, for the definitions and for the reset.
#define KYX_STATO(X) \
  X(Cartella_Programma) X(File_Ini) X(File_Istanze) X(File_Aiuto) \
  X(Separatore_Decimale) X(Titolo_Programma) X(Testo_Contatti) X(Riga_Comando) \
  X(Compattare) X(Compatta_Descrizioni) X(Compatta_Dati) X(Debug_Attivo) \
  X(Messaggio_Avvio) X(Messaggio_Presente) X(Aspetto) X(Aspetto_Piatto) \
  X(Colore_Sfondo) X(Colore_Bordo) X(Per_Altezza) X(Per_Larghezza) \
  X(Grafico_Tipo) X(Grafico_Percentuale) X(Grafico_Serie) X(Grafico_In_Righe) \
  X(Grafico_Divisioni_X) X(Grafico_Etichette_X) X(Grafico_Divisioni_Y) X(Grafico_Etichette_Y) \
  X(Grafico_Etichette_Y2) X(Elementi_Grafico) X(Funzione_Mouse) X(Anno_Riferimento) \
  X(Ordinamento_Layout) X(Connesso) X(Grafico_Visibile) X(In_Caricamento) \
  X(Operatore_Filtro) X(Larghezze_Codici) X(Larghezze_Caricati) X(Storico_Primo) \
  X(Storico_Ultimo) X(Elaborazione_Corrente) X(Layout_Precedente) X(Profilo_Principale) \
  X(Sistema_Informativo) X(Descrizione_Sistema) X(Profilo_In_Elenco) X(Server_Nome) \
  X(Server_Porta) X(Nome_Utente) X(Password_Utente) X(DataBase_SQL) \
  X(Data_Descrizioni) X(Cartella_Dati) X(Cartella_Storico) X(Cartella_Esportazione) \
  X(Cartella_Preferiti) X(File_MDB0) X(File_MDB1) X(File_MDB2) \
  X(File_MDB3) X(File_Storico_1) X(File_Storico_2) X(File_Aree) \
  X(File_Chiavi) X(File_Sistemi) X(File_Valori) X(File_Layout) \
  X(File_Layout_Elementi) X(File_Drill) X(File_Filtro_Utente) X(File_Struttura_Utente) \
  X(Precisione_15) X(Preferiti_Aggiorna) X(Memorizza_Colonne) X(Storico_Pulizia_Login) \
  X(Visualizza_Excel) X(Descrizioni_Aggiuntive) X(Righe_Zero) X(Messaggi_Aiuto) \
  X(Precisione_Colore) X(Elementi_Storico) X(Esportazione_Estensione) X(Adatta_Dopo_Elaborazione) \
  X(Font_Nome) X(Font_Grassetto) X(Font_Corsivo) X(Font_Dimensione) \
  X(Colori) X(Colori_Livello) X(Nomi_Livello) X(Spazi_Misura) \
  X(Stampa_Stampante) X(Stampa_Verticale) X(Stampa_Filtro) X(Stampa_Dati) \
  X(Stampa_Adatta) X(Stampa_Adatta_Colonne) X(Stampa_Adatta_Font) X(Stampa_Allinea_X) \
  X(Stampa_Livello_1) X(Stampa_Margini_mm) X(Stampa_Margini) X(Stampa_Margine_Cella) \
  X(Stampa_Copie) X(Stampa_Font_Max) X(Profilo_Corrente) X(Profilo_Salvato) \
  X(Numero_Profili) X(Indice_Sistema_Server) X(Libreria_Sistema) X(Separatore_Valori) \
  X(Righe_Intestazione) X(Anno_In_Uso) X(Riga_Alternata) \

#define KYX_DEFINISCI(v) decltype(v) v{};
KYX_STATO(KYX_DEFINISCI)
#undef KYX_DEFINISCI

namespace stato {

void reset() {
#define KYX_AZZERA(v) v = {};
  KYX_STATO(KYX_AZZERA)
#undef KYX_AZZERA
}

}  // namespace stato
}  // namespace kyx
