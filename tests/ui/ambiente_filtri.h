#pragma once
// What the filter tests read and do on the main window: the user's filter table FILTRO as rows of
// text, and a real click on a node of a keyed tree.
#include <QTest>
#include <QTreeWidget>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/stato_db.h"
#include "platform/ui/keyed_tree.h"

namespace kyx::test {

// FILTRO as "key oper valo_1|valo_2|blocco" rows in index order.
inline std::vector<std::string> Tabella_Filtro() {
  std::vector<std::string> out;
  std::unique_ptr<data::Statement> st;
  EXPECT_TRUE(
      Cn_MDB0->Prepare("SELECT KEY,OPER,VALO_1,VALO_2,BLOCCO FROM FILTRO ORDER BY KEY,OPER,VALO_1,VALO_2", &st).ok());
  bool riga = false;
  while (st && st->Step(&riga).ok() && riga)
    out.push_back(st->Read(0).AsText() + " " + st->Read(1).AsText() + " " + st->Read(2).AsText() + "|" +
                  st->Read(3).AsText() + "|" + st->Read(4).AsText());
  return out;
}

// A real click on the label of node `chiave`, brought into view first.
inline void Clic_Nodo(ui::KeyedTree& t, const std::string& chiave, Qt::MouseButton tasto = Qt::LeftButton) {
  ASSERT_TRUE(t.Exists(chiave)) << chiave;
  ui::TreeNode& n = t.Nodes(chiave);
  n.EnsureVisible();
  const QRect r = t.NodeRect(n);
  ASSERT_FALSE(r.isEmpty()) << chiave;
  QTest::mouseClick(t.view()->viewport(), tasto, {}, t.view()->viewport()->mapFrom(&t, r.center()));
}

}  // namespace kyx::test
