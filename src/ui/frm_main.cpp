#include "ui/frm_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <cctype>

#include "base/program_identity.h"
#include "form/form_layout.h"
#include "form/key_string.h"
#include "ui/file_name_text.h"
#include "ui/module1.h"

namespace veltrana {

namespace {

// Program texts are 8-bit; their CR LF line ends become Qt's newlines.
QString ToQt(const std::string& text) {
  QString converted = ShowBytes(text);
  converted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return converted;
}

constexpr int kTwipsPerPixelAt96Dpi = 15;

QString Caption(std::string_view name) {
  const std::string_view caption = FormControl(name).caption;
  return QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size()));
}

// A key of the keystroke string as Qt names it; 0 for none.
int QtKey(const KeyPress& press) {
  switch (press.key) {
    case KeyName::kCharacter: return std::toupper(static_cast<unsigned char>(press.character));
    case KeyName::kHome: return Qt::Key_Home;
    case KeyName::kEnd: return Qt::Key_End;
    case KeyName::kLeft: return Qt::Key_Left;
    case KeyName::kRight: return Qt::Key_Right;
    case KeyName::kUp: return Qt::Key_Up;
    case KeyName::kDown: return Qt::Key_Down;
    case KeyName::kTab: return Qt::Key_Tab;
    case KeyName::kEnter: return Qt::Key_Return;
    case KeyName::kEscape: return Qt::Key_Escape;
    case KeyName::kDelete: return Qt::Key_Delete;
    case KeyName::kBackspace: return Qt::Key_Backspace;
  }
  return 0;
}

Qt::KeyboardModifiers QtModifiers(const KeyPress& press) {
  Qt::KeyboardModifiers modifiers = Qt::NoModifier;
  if (press.shift) modifiers |= Qt::ShiftModifier;
  if (press.control) modifiers |= Qt::ControlModifier;
  if (press.alt) modifiers |= Qt::AltModifier;
  return modifiers;
}

}  // namespace

frmMain::Options frmMain::ProgramOptions() {
  Options options;
  options.settings = WindowSettingsLocation(Module1::argument_zero);
  return options;
}

frmMain::frmMain() : frmMain(ProgramOptions()) {}

frmMain::frmMain(Options options, QWidget* parent)
    : QWidget(parent),
      MainForm(std::move(options.settings), options.date),
      dialogs_(options.dialogs ? std::move(options.dialogs) : MakeQtDialogs()) {
  CreateControls();
  PlaceControls();
  Form_Load();
  cmdConvert->setFocus();
}

frmMain::~frmMain() = default;

void frmMain::CreateControls() {
  setWindowTitle(QString::fromLatin1(kAppTitle));
  // The layout is measured for the font size of the window's captions when
  // it was designed.
  QFont font = this->font();
  font.setPointSize(kFormFontPoints);
  setFont(font);
  setObjectName(QStringLiteral("frmMain"));
  const auto make_label = [this](const char* name) {
    auto* label = new QLabel(Caption(name), this);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    return label;
  };
  const auto make_button = [this](const char* name, auto handler) {
    auto* button = new QPushButton(Caption(name), this);
    button->setObjectName(QString::fromLatin1(name));
    connect(button, &QPushButton::clicked, this, handler);
    return button;
  };

  // In the window's own order.
  cbxAddressBook = new QComboBox(this);
  cbxAddressBook->setObjectName(QStringLiteral("cbxAddressBook"));
  cbxAddressBook->setEditable(true);
  cbxAddressBook->setInsertPolicy(QComboBox::NoInsert);  // only a run adds to the history
  cmdView = make_button("cmdView", [this] { cmdView_Click(); });
  cmdOpen = make_button("cmdOpen", [this] { cmdOpen_Click(); });
  cmdConvert = make_button("cmdConvert", [this] { cmdConvert_Click(); });
  lblStatus = make_label("lblStatus");
  lblStatusText = make_label("lblStatusText");
  lblStatusText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label1 = make_label("Label1");
  for (QLabel* caption : {Label1, lblStatus}) caption->setAlignment(Qt::AlignRight | Qt::AlignTop);
  cmdExport = make_button("cmdExport", [this] { cmdExport_Click(); });

  // Tab order by tab index; labels take no focus. The nickname work list is
  // the run's own sorted list, not a control of this window.
  setTabOrder(cmdConvert, cmdOpen);
  setTabOrder(cmdOpen, cmdView);
  setTabOrder(cmdView, cbxAddressBook);
  setTabOrder(cbxAddressBook, cmdExport);
}

void frmMain::PlaceControls() {
  const double scale = logicalDpiX() / 96.0 / kTwipsPerPixelAt96Dpi;
  const auto px = [scale](int twips) { return qRound(twips * scale); };
  for (const FormControlLayout& layout : kFormControls) {
    auto* control = findChild<QWidget*>(
        QString::fromLatin1(layout.name.data(), static_cast<qsizetype>(layout.name.size())));
    const TwipPlace& at = layout.place;
    control->setGeometry(px(at.left), px(at.top), px(at.width), px(at.height));
    if (!layout.names_a_control) continue;
    const QRect placed = control->geometry();
    const CaptionSpan span =
        GrownCaption(placed.left(), placed.width(), control->sizeHint().width());
    control->setGeometry(span.left, placed.top(), span.width, placed.height());
  }
  setFixedSize(px(kFormClientWidth), px(kFormClientHeight));
}

void frmMain::cmdView_Click() {
  Module1::LaunchViewer(htmlfile());
}

void frmMain::SetFieldText(const std::string& text) {
  cbxAddressBook->setEditText(ShowBytes(text));
}

// Each entry shows as it is kept and carries its bytes, which a pick from
// the list gives back exactly.
void frmMain::ShowHistory(const std::vector<std::string>& entries) {
  const QString text = cbxAddressBook->currentText();
  for (auto i = static_cast<std::size_t>(cbxAddressBook->count()); i < entries.size(); ++i) {
    const std::string& entry = entries[i];
    cbxAddressBook->addItem(ShowBytes(entry),
                            QByteArray(entry.data(), static_cast<qsizetype>(entry.size())));
  }
  cbxAddressBook->setEditText(text);
}

bool frmMain::ChooseAddressBook() {
  const std::optional<QString> chosen = dialogs_->ChooseAddressBook(this);
  if (chosen) cbxAddressBook->setEditText(*chosen);
  return chosen.has_value();
}

std::optional<ExportDialogAnswer> frmMain::ChooseExportFile(const ExportDialogRequest& request) {
  return dialogs_->ChooseExportFile(this, request);
}

std::string frmMain::StatusText() const {
  return status_;
}

bool frmMain::ButtonEnabled(Button button) const {
  return ButtonFor(button)->isEnabled();
}

void frmMain::CloseNow() {
  close();
}

// A history entry shows as it is kept; anything else is a file name typed or
// chosen, in the system's bytes for it.
std::string frmMain::AddressBookText() const {
  const QString text = cbxAddressBook->currentText();
  const int entry = cbxAddressBook->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (entry >= 0) return cbxAddressBook->itemData(entry).toByteArray().toStdString();
  return FileNameBytes(text);
}

std::filesystem::path frmMain::AddressBookPath() const {
  return AddressBookText();
}

void frmMain::SetStatusText(const std::string& text) {
  status_ = text;
  lblStatusText->setText(ToQt(text));
}

QPushButton* frmMain::ButtonFor(Button button) const {
  switch (button) {
    case Button::kConvert: return cmdConvert;
    case Button::kBrowse: return cmdOpen;
    case Button::kView: return cmdView;
    case Button::kExport: return cmdExport;
  }
  return cmdConvert;
}

void frmMain::SetButtonEnabled(Button button, bool enabled) {
  ButtonFor(button)->setEnabled(enabled);
}

void frmMain::FocusButton(Button button) {
  ButtonFor(button)->setFocus(Qt::OtherFocusReason);
}

void frmMain::FocusAddressBook() {
  cbxAddressBook->setFocus(Qt::OtherFocusReason);
}

void frmMain::ShowMessage(const std::string& text, MessageStyle style, const std::string& title) {
  dialogs_->ShowMessage(this, ToQt(text), style, ToQt(title));
}

PumpResult frmMain::PumpEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  return closing() ? PumpResult::kWindowClosing : PumpResult::kContinue;
}

// The keys go to this window's focused control, which takes them even while
// the window is not active (right after a message box closes, no window is).
void frmMain::SendKeys(std::string_view keys) {
  QWidget* target = focusWidget();
  if (target == nullptr) target = this;
  for (const KeyPress& press : ParseKeyString(keys)) {
    if (QtKey(press) == 0) continue;
    const auto key = static_cast<Qt::Key>(QtKey(press));
    const Qt::KeyboardModifiers modifiers = QtModifiers(press);
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, modifiers));
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, key, modifiers));
  }
}

// During a run the run ends at its next event pump and closes the window
// then, leaving no unfinished page behind.
void frmMain::closeEvent(QCloseEvent* event) {
  if (MayClose()) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace veltrana
