#pragma once
// frmMenuColonna4: the viewer of a column's own filter, the sub-menu of item 7 ("Filtro della
// colonna") of the column header menu. It reads the column's condition text and index flags and
// shows them as a tree: one node per key, under it one node per value with a picture for the
// comparison (equal, different, from, to). It only shows; Escape closes it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ui/form_instance.h"
#include "platform/ui/keyed_tree.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/line_control.h"

namespace kyx {

class FrmMenuColonna4 : public ui::KyForm {
 public:
  FrmMenuColonna4();

  // Opens the viewer beside item 7 of the column menu for Colonna_Corrente.
  void Carica();
  void Form_KeyDown(int& KeyCode, int Shift) override;

  ui::KeyedTree* twF;
  std::array<ui::LineControl*, 4> L_twF{};  // top, right, bottom, left

 private:
  void Mostra_Filtro();
  void Aggiungi_Chiave();
  void Aggiungi_Valore(const char* Immagine);
  bool Aggiungi_Lista(const char* Immagine);

  std::string Chiave_Nodo;  // key of the last key node added
  int32_t Conta_Valori = 0;
  // The key being shown and what its values need.
  int16_t Chiave = 0;
  std::string Sistema;
  std::string Attributo;
  // The condition text, the scan position in it and the value just read.
  std::string W;
  std::size_t Posizione = 0;
  std::string Valore;
};

inline ui::FormInstance<FrmMenuColonna4> frmMenuColonna4;

}  // namespace kyx
