#include "platform/ui/standard_images.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <functional>
#include <string>

namespace kyx::ui {
namespace {

using P = QPainter;

const QColor kInk(0, 0, 0);
const QColor kBlue(0, 70, 190);
const QColor kGreen(0, 140, 40);
const QColor kRed(200, 20, 20);
const QColor kYellow(250, 210, 60);
const QColor kGrey(128, 128, 128);
const QColor kPaper(255, 255, 255);

void box(P& p, int x, int y, int w, int h, const QColor& fill, const QColor& line = kInk) {
  p.setPen(line);
  p.setBrush(fill);
  p.drawRect(x, y, w, h);
}

void text(P& p, const QRect& r, const QString& s, const QColor& c, int px = 11, bool bold = true) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(px);
  f.setBold(bold);
  f.setStyleStrategy(QFont::NoAntialias);
  p.setFont(f);
  p.setPen(c);
  p.drawText(r, Qt::AlignCenter, s);
}

void poly(P& p, std::initializer_list<QPoint> pts, const QColor& fill, const QColor& line = kInk) {
  p.setPen(line);
  p.setBrush(fill);
  p.drawPolygon(QPolygon(QList<QPoint>(pts)));
}

void funnel(P& p, const QColor& fill) {
  poly(p, {{1, 2}, {14, 2}, {9, 8}, {9, 14}, {6, 12}, {6, 8}}, fill);
}

void folder(P& p, bool open) {
  poly(p, {{1, 3}, {6, 3}, {7, 5}, {14, 5}, {14, 13}, {1, 13}}, kYellow.darker(115));
  if (open) {
    poly(p, {{3, 7}, {15, 7}, {13, 13}, {1, 13}}, kYellow);
  } else {
    box(p, 1, 6, 13, 7, kYellow);
  }
}

void sheet(P& p, const QColor& accent) {
  box(p, 2, 1, 11, 14, kPaper);
  p.setPen(accent);
  for (int y = 4; y <= 12; y += 2) p.drawLine(4, y, 11, y);
}

void arrow(P& p, bool right, const QColor& fill) {
  if (right) {
    poly(p, {{2, 6}, {8, 6}, {8, 2}, {14, 8}, {8, 14}, {8, 10}, {2, 10}}, fill);
  } else {
    poly(p, {{14, 6}, {8, 6}, {8, 2}, {2, 8}, {8, 14}, {8, 10}, {14, 10}}, fill);
  }
}

void star(P& p, const QColor& fill) {
  poly(p, {{8, 1}, {10, 6}, {15, 6}, {11, 9}, {13, 15}, {8, 11}, {3, 15}, {5, 9}, {1, 6}, {6, 6}},
       fill);
}

void key_glyph(P& p, int x, int y, const QColor& c) {
  p.setPen(c);
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(x, y, 4, 4);
  p.drawLine(x + 4, y + 2, x + 10, y + 2);
  p.drawLine(x + 8, y + 2, x + 8, y + 5);
  p.drawLine(x + 10, y + 2, x + 10, y + 4);
}

void printer(P& p) {
  box(p, 4, 1, 8, 5, kPaper);
  box(p, 1, 6, 14, 6, QColor(190, 190, 190));
  box(p, 4, 10, 8, 5, kPaper);
  p.setPen(kGreen);
  p.drawPoint(12, 8);
}

void mouse_arrow(P& p) {
  poly(p, {{1, 1}, {1, 12}, {4, 9}, {6, 14}, {8, 13}, {6, 8}, {10, 8}}, kPaper);
}

void badge(P& p, const QString& s, const QColor& fill) {
  box(p, 7, 7, 8, 8, fill);
  text(p, QRect(7, 7, 9, 9), s, kPaper, 8);
}

void level(P& p, const QString& s, const QColor& fill, bool with_key) {
  box(p, 1, 1, 13, 13, fill);
  if (with_key) {
    key_glyph(p, 2, 5, kPaper);
  } else {
    text(p, QRect(1, 1, 14, 14), s, kPaper, 11);
  }
}

void operator_sign(P& p, const QString& s, const QColor& fill) {
  box(p, 1, 2, 13, 11, fill);
  text(p, QRect(1, 2, 14, 12), s, kPaper, 11);
}

void cross(P& p, int x, int y, const QColor& c) {
  p.setPen(QPen(c, 2));
  p.drawLine(x, y, x + 5, y + 5);
  p.drawLine(x + 5, y, x, y + 5);
  p.setPen(kInk);
}

void refresh(P& p, const QColor& c) {
  p.setPen(QPen(c, 2));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRect(2, 2, 11, 11), 30 * 16, 280 * 16);
  poly(p, {{10, 1}, {14, 5}, {9, 6}}, c, c);
}

using Draw = std::function<void(P&)>;

struct Item {
  const char* key;
  Draw draw;
};

std::vector<Item> build_items() {
  std::vector<Item> v = {
      {"Stop", [](P& p) {
         poly(p, {{5, 1}, {10, 1}, {14, 5}, {14, 10}, {10, 14}, {5, 14}, {1, 10}, {1, 5}}, kRed);
         box(p, 4, 7, 7, 1, kPaper, kPaper);
       }},
      {"Start", [](P& p) {
         p.setPen(kInk);
         p.setBrush(kGreen);
         p.drawEllipse(1, 1, 13, 13);
         poly(p, {{6, 4}, {11, 8}, {6, 12}}, kPaper, kPaper);
       }},
      {"SInf", [](P& p) {
         box(p, 3, 3, 10, 10, QColor(120, 160, 230));
         p.setBrush(QColor(170, 200, 250));
         p.drawEllipse(3, 1, 10, 4);
         p.drawEllipse(3, 11, 10, 4);
         box(p, 4, 5, 8, 7, QColor(120, 160, 230), QColor(120, 160, 230));
         text(p, QRect(3, 4, 11, 10), QStringLiteral("i"), kPaper, 9);
       }},
      {"Uscita", [](P& p) {
         box(p, 2, 1, 8, 14, QColor(160, 100, 50));
         p.setPen(kYellow);
         p.drawPoint(8, 8);
         poly(p, {{9, 6}, {12, 6}, {12, 4}, {15, 8}, {12, 12}, {12, 10}, {9, 10}}, kGreen);
       }},
      {"DatiLocali", [](P& p) {
         box(p, 1, 2, 14, 9, QColor(200, 200, 200));
         box(p, 3, 4, 10, 5, QColor(60, 120, 200));
         box(p, 5, 12, 6, 2, QColor(170, 170, 170));
       }},
      {"Opzioni", [](P& p) {
         p.setPen(QPen(kGrey.darker(150), 3));
         for (int a = 0; a < 4; ++a) {
           static const int dx[4] = {0, 6, 0, -6}, dy[4] = {-6, 0, 6, 0};
           p.drawLine(8, 8, 8 + dx[a], 8 + dy[a]);
         }
         p.setPen(kInk);
         p.setBrush(QColor(170, 170, 170));
         p.drawEllipse(3, 3, 10, 10);
         p.setBrush(kPaper);
         p.drawEllipse(6, 6, 4, 4);
       }},
      {"Gruppi", [](P& p) {
         box(p, 1, 1, 8, 6, QColor(120, 160, 230));
         box(p, 4, 5, 8, 6, QColor(120, 200, 140));
         box(p, 7, 9, 8, 6, kYellow);
       }},
      {"Chiavi", [](P& p) { folder(p, false); }},
      {"Chiavi1", [](P& p) { folder(p, true); }},
      {"Esegui", [](P& p) {
         sheet(p, kBlue);
         poly(p, {{7, 6}, {12, 10}, {7, 14}}, kGreen);
       }},
      {"Esegui1", [](P& p) {
         sheet(p, kRed);
         poly(p, {{7, 6}, {12, 10}, {7, 14}}, kYellow);
       }},
      {"Salva", [](P& p) {
         box(p, 1, 1, 13, 13, QColor(40, 60, 150));
         box(p, 4, 1, 7, 5, kPaper);
         box(p, 3, 9, 9, 5, QColor(200, 200, 200));
       }},
      {"Stampa", [](P& p) { printer(p); }},
      {"SetStampa", [](P& p) {
         printer(p);
         box(p, 9, 0, 6, 6, kYellow);
         p.setPen(kInk);
         p.drawLine(10, 3, 14, 3);
       }},
      {"Grafico", [](P& p) {
         p.setPen(kInk);
         p.drawLine(1, 14, 14, 14);
         p.drawLine(1, 1, 1, 14);
         box(p, 3, 8, 3, 6, kBlue);
         box(p, 7, 4, 3, 10, kRed);
         box(p, 11, 10, 3, 4, kGreen);
       }},
      {"Visualizza", [](P& p) {
         p.setPen(kInk);
         p.setBrush(kPaper);
         p.drawEllipse(1, 4, 14, 8);
         p.setBrush(kBlue);
         p.drawEllipse(5, 5, 6, 6);
         p.setBrush(kInk);
         p.drawEllipse(7, 7, 2, 2);
       }},
      {"Colonne", [](P& p) {
         box(p, 1, 1, 4, 13, QColor(200, 220, 250));
         box(p, 6, 1, 4, 13, QColor(120, 160, 230));
         box(p, 11, 1, 4, 13, QColor(200, 220, 250));
       }},
      {"Dati", [](P& p) {
         box(p, 1, 2, 14, 12, kPaper);
         box(p, 1, 2, 14, 3, QColor(200, 200, 200));
         p.setPen(kGrey);
         p.drawLine(6, 2, 6, 14);
         p.drawLine(11, 2, 11, 14);
         p.drawLine(1, 8, 15, 8);
         p.drawLine(1, 11, 15, 11);
       }},
      {"AnnoRiferimento", [](P& p) {
         box(p, 1, 2, 14, 13, kPaper);
         box(p, 1, 2, 14, 3, kRed);
         text(p, QRect(1, 5, 15, 10), QStringLiteral("31"), kInk, 8);
       }},
      {"Filtro", [](P& p) { funnel(p, QColor(120, 160, 230)); }},
      {"Locked", [](P& p) {
         p.setPen(QPen(kGrey.darker(130), 2));
         p.setBrush(Qt::NoBrush);
         p.drawArc(QRect(4, 1, 8, 10), 0, 180 * 16);
         p.drawLine(4, 6, 4, 8);
         p.drawLine(12, 6, 12, 8);
         box(p, 2, 7, 12, 8, kYellow.darker(110));
       }},
      {"Filtro_No", [](P& p) { funnel(p, QColor(225, 225, 225)); }},
      {"Filtro_Uguale", [](P& p) { operator_sign(p, QStringLiteral("="), kBlue); }},
      {"Filtro_Uguale_V", [](P& p) { operator_sign(p, QStringLiteral("="), kGreen); }},
      {"Filtro_Da", [](P& p) { operator_sign(p, QStringLiteral("\u2265"), kBlue); }},
      {"Filtro_Da_V", [](P& p) { operator_sign(p, QStringLiteral("\u2265"), kGreen); }},
      {"Filtro_Diverso", [](P& p) { operator_sign(p, QStringLiteral("\u2260"), kRed); }},
      {"Filtro_Diverso_V", [](P& p) { operator_sign(p, QStringLiteral("\u2260"), kGreen); }},
      {"Filtro_A", [](P& p) { operator_sign(p, QStringLiteral("\u2264"), kBlue); }},
      {"Filtro_A_V", [](P& p) { operator_sign(p, QStringLiteral("\u2264"), kGreen); }},
      {"Precedente", [](P& p) { arrow(p, false, kGreen); }},
      {"Successivo", [](P& p) { arrow(p, true, kGreen); }},
      {"Preferiti", [](P& p) { star(p, kYellow); }},
      {"Preferiti1", [](P& p) {
         folder(p, false);
         star(p, kYellow.darker(120));
       }},
  };
  for (int i = 1; i <= 9; ++i) {
    v.push_back({nullptr, [i](P& p) { level(p, QString::number(i), kBlue, false); }});
  }
  v.push_back({"LKey", [](P& p) { level(p, QString(), kBlue, true); }});
  for (int i = 1; i <= 9; ++i) {
    v.push_back({nullptr, [i](P& p) { level(p, QString::number(i), kGreen, false); }});
  }
  v.push_back({"CKey", [](P& p) { level(p, QString(), kGreen, true); }});
  std::vector<Item> rest = {
      {"Elabora", [](P& p) {
         poly(p, {{9, 0}, {3, 9}, {7, 9}, {5, 15}, {13, 6}, {9, 6}, {11, 0}}, kYellow);
       }},
      {"FiltroPulizia", [](P& p) {
         funnel(p, QColor(120, 160, 230));
         cross(p, 9, 9, kRed);
       }},
      {"FiltroTipo3", [](P& p) { operator_sign(p, QStringLiteral("\u2194"), QColor(120, 90, 0)); }},
      {"FiltroTipo1", [](P& p) { operator_sign(p, QStringLiteral("="), QColor(120, 90, 0)); }},
      {"FiltroTipo2", [](P& p) { operator_sign(p, QStringLiteral("N"), QColor(120, 90, 0)); }},
      {"Colonna", [](P& p) {
         box(p, 1, 1, 13, 13, kPaper);
         box(p, 5, 1, 5, 13, QColor(120, 160, 230));
       }},
      {"Colonna1", [](P& p) {
         box(p, 1, 1, 13, 13, kPaper);
         box(p, 5, 1, 5, 13, QColor(240, 150, 60));
       }},
      {"Link", [](P& p) {
         p.setPen(QPen(kGrey.darker(150), 2));
         p.setBrush(Qt::NoBrush);
         p.drawRoundedRect(1, 5, 8, 6, 3, 3);
         p.drawRoundedRect(7, 5, 8, 6, 3, 3);
       }},
      {"Help", [](P& p) {
         p.setPen(kInk);
         p.setBrush(kBlue);
         p.drawEllipse(1, 1, 13, 13);
         text(p, QRect(1, 1, 14, 14), QStringLiteral("?"), kPaper, 11);
       }},
      {"Help_1", [](P& p) {
         mouse_arrow(p);
         text(p, QRect(8, 3, 8, 12), QStringLiteral("?"), kBlue, 11);
       }},
      {"Aggiorna", [](P& p) { refresh(p, kGreen); }},
      {"FiltroBoxPulizia", [](P& p) {
         box(p, 1, 3, 13, 9, kPaper);
         cross(p, 5, 5, kRed);
       }},
      {"FiltroBoxAggiorna", [](P& p) {
         box(p, 1, 3, 13, 9, kPaper);
         p.setPen(QPen(kGreen, 2));
         p.drawLine(8, 5, 8, 11);
         p.drawLine(5, 8, 11, 8);
       }},
  };
  for (auto& r : rest) v.push_back(std::move(r));
  for (int i = 1; i <= 4; ++i) {
    v.push_back({nullptr, [i](P& p) {
                   mouse_arrow(p);
                   static const QColor fills[4] = {kBlue, kGreen, kRed, QColor(120, 90, 0)};
                   badge(p, QString::number(i), fills[i - 1]);
                 }});
  }
  v.push_back({"Drill", [](P& p) {
                 box(p, 1, 1, 14, 8, kPaper);
                 p.setPen(kGrey);
                 p.drawLine(1, 5, 15, 5);
                 poly(p, {{6, 7}, {10, 7}, {10, 10}, {13, 10}, {8, 15}, {3, 10}, {6, 10}}, kBlue);
               }});
  return v;
}

struct Table {
  std::vector<std::string> key_storage;
  std::vector<std::string_view> keys;
  std::vector<Draw> draws;
};

const Table& table() {
  static const Table t = [] {
    Table t;
    std::vector<Item> items = build_items();
    // Keys drawn in loops: L1..L9 after Preferiti1, C1..C9 after LKey, MouseTipo1..4 after
    // FiltroBoxAggiorna.
    int l = 0, c = 0, m = 0;
    bool after_lkey = false;
    for (auto& it : items) {
      std::string k;
      if (it.key) {
        k = it.key;
        if (k == "LKey") after_lkey = true;
      } else if (!after_lkey) {
        k = "L" + std::to_string(++l);
      } else if (c < 9) {
        k = "C" + std::to_string(++c);
      } else {
        k = "MouseTipo" + std::to_string(++m);
      }
      t.key_storage.push_back(k);
      t.draws.push_back(std::move(it.draw));
    }
    for (const auto& k : t.key_storage) t.keys.emplace_back(k);
    return t;
  }();
  return t;
}

}  // namespace

const std::vector<std::string_view>& standard_image_keys() { return table().keys; }

QPixmap draw_standard_image(std::string_view key) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  const Table& t = table();
  for (std::size_t i = 0; i < t.keys.size(); ++i) {
    if (t.keys[i] == key) {
      QPainter p(&pm);
      t.draws[i](p);
      break;
    }
  }
  return pm;
}

void add_standard_images(ImageList& list) {
  list.Clear();
  for (std::string_view k : standard_image_keys()) list.Add(k, draw_standard_image(k));
}

}  // namespace kyx::ui
