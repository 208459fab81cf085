#pragma once
// What every program of the suite sets up on its Qt application before its first window: the
// system colours of the palette, Qt's own texts (standard buttons, file and colour dialogs) in
// Italian as the program's own, and the program's icon on every window.
#include <QApplication>
#include <QIcon>
#include <QTranslator>

namespace kyx::ui {

void prepare_application(QApplication& app);

// Loads Qt's Italian translations from Qt's translations folder (Debian's qt6-translations-l10n)
// into the application, which owns them. Null, with a line on stderr, when they are not
// installed: Qt's texts then stay in English. Dates and numbers keep the user's regional settings.
QTranslator* install_italian_translations(QCoreApplication& app);

// The program icon, drawn here at the usual icon sizes (16 to 256 pixels).
QIcon program_icon();
// One size of it.
QImage program_icon_image(int size);

}  // namespace kyx::ui
