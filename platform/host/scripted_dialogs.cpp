#include "platform/host/scripted_dialogs.h"

#include <stdexcept>

namespace kyx::host {

namespace {
const char* name(ScriptedDialogs::Kind k) {
  switch (k) {
    case ScriptedDialogs::Kind::Colour: return "colour dialog";
    case ScriptedDialogs::Kind::Font: return "font dialog";
    case ScriptedDialogs::Kind::Folder: return "folder browser";
    case ScriptedDialogs::Kind::Save: return "save dialog";
  }
  return "dialog";
}
}  // namespace

ScriptedDialogs::ScriptedDialogs() { previous_ = set_dialogs(this); }

ScriptedDialogs::~ScriptedDialogs() { set_dialogs(previous_); }

ScriptedDialogs& ScriptedDialogs::expect_colour(std::optional<uint32_t> colour) {
  expected_.push_back({Kind::Colour, colour, std::nullopt, {}});
  return *this;
}

ScriptedDialogs& ScriptedDialogs::expect_font(std::optional<FontChoice> font) {
  expected_.push_back({Kind::Font, std::nullopt, std::move(font), {}});
  return *this;
}

ScriptedDialogs& ScriptedDialogs::expect_folder(std::string folder) {
  expected_.push_back({Kind::Folder, std::nullopt, std::nullopt, std::move(folder)});
  return *this;
}

ScriptedDialogs& ScriptedDialogs::expect_save(std::string file, int filter_index) {
  expected_.push_back({Kind::Save, std::nullopt, std::nullopt, std::move(file), filter_index});
  return *this;
}

ScriptedDialogs::Answer ScriptedDialogs::take(Kind kind) {
  if (expected_.empty()) throw std::logic_error(std::string("unexpected ") + name(kind));
  if (expected_.front().kind != kind) {
    throw std::logic_error(std::string("expected a ") + name(expected_.front().kind) +
                           ", got a " + name(kind));
  }
  Answer a = std::move(expected_.front());
  expected_.pop_front();
  return a;
}

bool ScriptedDialogs::ShowColor(uint32_t& colour, int flags) {
  opened_.push_back({Kind::Colour, flags, colour, {}, {}, {}, {}});
  const Answer a = take(Kind::Colour);
  if (!a.colour) return false;
  colour = *a.colour;
  return true;
}

bool ScriptedDialogs::ShowFont(FontChoice& font, int flags, std::string_view title) {
  opened_.push_back({Kind::Font, flags, 0, font, std::string(title), {}, {}});
  const Answer a = take(Kind::Font);
  if (!a.font) return false;
  font = *a.font;
  return true;
}

std::string ScriptedDialogs::BrowseFolder(std::string_view title, std::string_view start) {
  opened_.push_back({Kind::Folder, 0, 0, {}, std::string(title), std::string(start), {}});
  return take(Kind::Folder).folder;
}

bool ScriptedDialogs::ShowSave(SaveDialog& dialog) {
  opened_.push_back({Kind::Save, dialog.Flags, 0, {}, dialog.DialogTitle, dialog.InitDir, dialog});
  const Answer a = take(Kind::Save);
  if (a.folder.empty()) return false;
  dialog.FileName = a.folder;
  dialog.FilterIndex = a.filter_index;
  return true;
}

}  // namespace kyx::host
