#include "platform/ui/colour_dialog_qt.h"

#include <QApplication>
#include <QColorDialog>

#include "platform/host/colour_dialog.h"
#include "platform/ui/colours.h"

namespace kyx::ui {

void install_colour_dialog() {
  host::set_colour_dialog([](int32_t initial, int32_t flags) -> int32_t {
    const QColor start = ole_to_qcolor(static_cast<uint32_t>(initial));
    (void)flags;  // the Qt dialog is always the full one
    const QColor chosen = QColorDialog::getColor(start, QApplication::activeWindow(), QString(),
                                                 QColorDialog::ColorDialogOptions());
    return chosen.isValid() ? static_cast<int32_t>(qcolor_to_ole(chosen)) : initial;
  });
}

}  // namespace kyx::ui
