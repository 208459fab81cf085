// The printers of the system and the PDF printers, their settings and their contexts.
#include <QPageLayout>
#include <QPageSize>
#include <QPrinterInfo>
#include <algorithm>
#include <cstdlib>

#include "platform/gdi/detail.h"
#include "platform/text/cp1252.h"

namespace kyx::gdi {

using detail::state;

namespace {

bool Same_Name(std::string_view a, std::string_view b) {
  // Printer names compare without regard to case, as the spooler compares them.
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return text::to_upper(x) == text::to_upper(y); });
}

// The PDF printers: those added by code, and "PDF" when KYX_PRINTER_PDF names a file.
std::vector<std::pair<std::string, std::string>> Pdf_Printers() {
  std::vector<std::pair<std::string, std::string>> out(state().pdf_printers.begin(), state().pdf_printers.end());
  if (const char* f = std::getenv("KYX_PRINTER_PDF"); f && *f && !state().pdf_printers.count("PDF")) {
    out.emplace_back("PDF", f);
  }
  return out;
}

std::vector<std::string> System_Printers() {
  std::vector<std::string> out;
  if (!detail::Fonts_Available()) return out;
  for (const QString& n : QPrinterInfo::availablePrinterNames()) out.push_back(text::from_utf8(n.toStdString()));
  return out;
}

// The installed printer a name stands for ("" = the default one), with its exact name.
std::optional<std::string> Resolve(std::string_view name) {
  if (name.empty()) {
    const std::string d = DefaultPrinter();
    if (d.empty()) return std::nullopt;
    return d;
  }
  for (const std::string& n : Printers()) {
    if (Same_Name(n, name)) return n;
  }
  return std::nullopt;
}

}  // namespace

std::vector<std::string> Printers() {
  std::vector<std::string> out = System_Printers();
  for (const auto& [nome, file] : Pdf_Printers()) {
    if (std::none_of(out.begin(), out.end(), [&](const std::string& n) { return Same_Name(n, nome); })) {
      out.push_back(nome);
    }
  }
  return out;
}

std::string DefaultPrinter() {
  if (detail::Fonts_Available()) {
    const QString d = QPrinterInfo::defaultPrinterName();
    if (!d.isEmpty()) return text::from_utf8(d.toStdString());
  }
  // Without a default printer of the system, the first one there is.
  const std::vector<std::string> all = Printers();
  return all.empty() ? std::string() : all.front();
}

void AddPdfPrinter(const std::string& name, const std::string& file) { state().pdf_printers[name] = file; }
void RemovePdfPrinters() { state().pdf_printers.clear(); }

Handle CreateDC(std::string_view /*driver*/, std::string_view device) {
  const auto name = Resolve(device);
  if (!name || !detail::Fonts_Available()) {
    SetLastError(kErrorInvalidPrinterName);
    return 0;
  }
  detail::Context c;
  c.printer_name = *name;
  for (const auto& [nome, file] : Pdf_Printers()) {
    if (Same_Name(nome, *name)) c.pdf_file = file;
  }
  if (!c.pdf_file.empty()) {
    c.device = std::make_unique<QPrinter>(QPrinter::HighResolution);
    c.device->setOutputFormat(QPrinter::PdfFormat);
    c.device->setOutputFileName(QString::fromStdString(c.pdf_file));
    c.device->setResolution(600);
    c.device->setPageSize(QPageSize(QPageSize::A4));
    c.device->setFullPage(true);
    c.device->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
  } else {
    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(text::to_utf8(*name)));
    if (info.isNull()) {
      SetLastError(kErrorInvalidPrinterName);
      return 0;
    }
    c.device = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  }
  return detail::Add_Printer_Context(std::move(c));
}

Handle OpenPrinter(std::string_view name) {
  const auto n = Resolve(name);
  if (!n) {
    SetLastError(kErrorInvalidPrinterName);
    return 0;
  }
  const Handle h = state().next_printer++;
  state().printers_open.emplace(h, *n);
  return h;
}

bool ClosePrinter(Handle printer) {
  if (state().printers_open.erase(printer) == 0) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  return true;
}

bool GetDeviceMode(Handle printer, DeviceMode* out) {
  if (!out || !state().printers_open.count(printer)) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  *out = DeviceMode{};
  return true;
}

bool ValidateDeviceMode(Handle printer, DeviceMode* mode) {
  if (!mode || !state().printers_open.count(printer)) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  if (mode->Copies < 1) mode->Copies = 1;
  if (mode->Orientation != DMORIENT_LANDSCAPE) mode->Orientation = DMORIENT_PORTRAIT;
  return true;
}

bool ResetDC(Handle dc, const DeviceMode& mode) {
  auto it = state().contexts.find(dc);
  if (it == state().contexts.end() || !it->second.printer || it->second.in_document) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  QPrinter& p = *it->second.device;
  if (mode.Fields & DM_ORIENTATION) {
    p.setPageOrientation(mode.Orientation == DMORIENT_LANDSCAPE ? QPageLayout::Landscape : QPageLayout::Portrait);
  }
  if (mode.Fields & DM_COPIES) p.setCopyCount(std::max<int>(1, mode.Copies));
  return true;
}

}  // namespace kyx::gdi
