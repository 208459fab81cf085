#include "platform/help/help_viewer.h"

#include <QPointer>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/files/files.h"
#include "platform/text/cp1252.h"
#include "platform/text/path_text.h"
#include "platform/ui/simple_controls.h"

namespace kyx::help {

namespace {

QPointer<HelpViewer>& Instance() {
  static QPointer<HelpViewer> viewer;
  return viewer;
}

// A page's text: UTF-8 when it reads as such, else the Windows code page the help compilers of
// that time wrote.
QString Decode(const std::string& bytes) {
  if (text::path_to_utf8(bytes) == bytes) return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return ui::Q(bytes);
}

QString Escape(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())).toHtmlEscaped(); }

}  // namespace

// The page area: links, pictures and style sheets are read from the help file.
class HelpViewer::Browser : public QTextBrowser {
 public:
  explicit Browser(HelpViewer* owner) : QTextBrowser(owner), owner_(owner) { setOpenLinks(true); }

  QVariant loadResource(int type, const QUrl& name) override {
    const ChmFile* f = owner_->File();
    if (f == nullptr || !name.scheme().isEmpty()) return QVariant();
    std::string bytes;
    if (!f->Read(name.path().toUtf8().toStdString(), bytes)) return QVariant();
    if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource) return Decode(bytes);
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
  }

 private:
  HelpViewer* owner_;
};

HelpViewer::HelpViewer() : ui::KyForm("frmAiuto") {
  SetCaption("Guida");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  browser_ = new Browser(this);
  layout->addWidget(browser_);
  resize(720, 560);
  setAttribute(Qt::WA_DeleteOnClose);
}

HelpViewer::~HelpViewer() = default;

void HelpViewer::SetFile(std::unique_ptr<ChmFile> file) { file_ = std::move(file); }

void HelpViewer::ShowTopic(std::string topic) {
  if (topic.empty() && file_) topic = file_->DefaultTopic();
  if (!topic.empty() && topic[0] != '/') topic.insert(topic.begin(), '/');
  topic_ = topic;
  std::string bytes;
  found_ = file_ && !topic.empty() && file_->Read(topic, bytes);
  if (found_) {
    browser_->setSource(QUrl(QString::fromUtf8(topic.c_str())), QTextDocument::HtmlResource);
  } else {
    // The viewer, not the program, says that the file lacks the topic.
    browser_->setHtml("<h3>Argomento non trovato</h3><p>" + Escape(topic.empty() ? "(nessuno)" : topic) +
                      "</p><p>" + Escape(file_ ? file_->path() : "") + "</p>");
  }
  setWindowTitle(browser_->documentTitle().isEmpty() ? QStringLiteral("Guida") : browser_->documentTitle());
}

std::string HelpViewer::PageText() const { return browser_->toPlainText().toUtf8().toStdString(); }

HelpViewer* OpenViewer() { return Instance().data(); }

int32_t HtmlHelp(int32_t owner, std::string_view file_and_topic, int command, std::string& error) {
  (void)owner;  // the viewer is a window of its own, above the program's windows
  error.clear();
  if (command != HH_DISPLAY_TOPIC) {
    error = "unsupported help command";
    return 0;
  }
  std::string file(file_and_topic);
  std::string topic;
  const size_t sep = file.find("::");
  if (sep != std::string::npos) {
    topic = file.substr(sep + 2);
    file.resize(sep);
  }
  const std::string path = files::native_path(file);
  // The file is read before any window opens: without it there is nothing to show.
  HelpViewer* v = Instance().data();
  if (!v || !v->File() || v->File()->path() != path) {
    std::unique_ptr<ChmFile> f = ChmFile::Open(path, error);
    if (!f) return 0;
    if (!v) Instance() = v = new HelpViewer();
    v->SetFile(std::move(f));
  }
  v->ShowTopic(topic);
  v->Show(ui::vbModeless);
  return v->hWnd();
}

}  // namespace kyx::help
