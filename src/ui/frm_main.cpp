#include "ui/frm_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "base/program_identity.h"
#include "ui/file_name_text.h"
#include "ui/key_sequence_text.h"
#include "ui/module1.h"

namespace veltrana {

namespace {

// Program texts are 8-bit; their CR LF line ends become Qt's newlines.
QString ToQt(const std::string& text) {
  QString converted = ShowBytes(text);
  converted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return converted;
}

// One control's place in twips, as the window was laid out.
struct Place {
  int left, top, width, height;
};

constexpr int kClientWidth = 7380;
constexpr int kClientHeight = 1575;
constexpr int kTwipsPerPixelAt96Dpi = 15;

}  // namespace

frmMain::frmMain() : frmMain(Options{}) {}

frmMain::frmMain(Options options, QWidget* parent)
    : QWidget(parent),
      MainForm(std::move(options.settings), options.date, Module1::htmlfile),
      dialogs_(std::move(options.dialogs)) {
  CreateControls();
  PlaceControls();
  Form_Load();
  cmdConvert->setFocus();
}

frmMain::~frmMain() = default;

void frmMain::CreateControls() {
  setWindowTitle(QString::fromLatin1(kAppTitle));
  // The layout is measured for an 8-point font, the size of the window's
  // captions when it was designed.
  QFont font = this->font();
  font.setPointSize(8);
  setFont(font);
  setObjectName(QStringLiteral("frmMain"));
  const auto make_label = [this](const char* name, const QString& caption) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    return label;
  };
  const auto make_button = [this](const char* name, const QString& caption, auto handler) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    connect(button, &QPushButton::clicked, this, handler);
    return button;
  };

  // In the window's own order.
  cbxAddressBook = new QComboBox(this);
  cbxAddressBook->setObjectName(QStringLiteral("cbxAddressBook"));
  cbxAddressBook->setEditable(true);
  cbxAddressBook->setInsertPolicy(QComboBox::NoInsert);  // only a run adds to the history
  cmdView = make_button("cmdView", QStringLiteral("&View"), [this] { cmdView_Click(); });
  cmdOpen = make_button("cmdOpen", QStringLiteral("&Browse"), [this] { cmdOpen_Click(); });
  cmdConvert =
      make_button("cmdConvert", QStringLiteral("&Convert"), [this] { cmdConvert_Click(); });
  lblStatus = make_label("lblStatus", QStringLiteral("Status:"));
  lblStatusText = make_label("lblStatusText", QString());
  lblStatusText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label1 = make_label("Label1", QStringLiteral("Address Book:"));
  for (QLabel* caption : {Label1, lblStatus}) caption->setAlignment(Qt::AlignRight | Qt::AlignTop);

  // Tab order by tab index; labels take no focus. The nickname work list is
  // the run's own sorted list, not a control of this window.
  setTabOrder(cmdConvert, cmdOpen);
  setTabOrder(cmdOpen, cmdView);
  setTabOrder(cmdView, cbxAddressBook);
}

void frmMain::PlaceControls() {
  const double scale = logicalDpiX() / 96.0 / kTwipsPerPixelAt96Dpi;
  const auto px = [scale](int twips) { return qRound(twips * scale); };
  const auto place = [&px](QWidget* control, Place at) {
    control->setGeometry(px(at.left), px(at.top), px(at.width), px(at.height));
  };
  place(cbxAddressBook, {1440, 120, 4575, 315});
  place(cmdView, {6120, 1080, 975, 375});
  place(cmdOpen, {6120, 600, 975, 375});
  place(cmdConvert, {6120, 120, 975, 375});
  place(lblStatus, {840, 600, 495, 255});
  place(lblStatusText, {1440, 600, 4575, 495});
  place(Label1, {240, 120, 1095, 255});
  // A caption wider in this font than its place grows to the left, keeping
  // its right edge beside the control it names.
  for (QLabel* caption : {Label1, lblStatus}) {
    const QRect at = caption->geometry();
    const int width = std::min(std::max(at.width(), caption->sizeHint().width()), at.right() + 1);
    caption->setGeometry(at.right() + 1 - width, at.top(), width, at.height());
  }
  setFixedSize(px(kClientWidth), px(kClientHeight));
}

void frmMain::cmdView_Click() {
  Module1::LaunchViewer();
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
  lblStatusText->setText(ToQt(text));
}

QPushButton* frmMain::ButtonFor(Button button) const {
  switch (button) {
    case Button::kConvert: return cmdConvert;
    case Button::kBrowse: return cmdOpen;
    case Button::kView: return cmdView;
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

void frmMain::ShowMessage(const std::string& text, int style, const std::string& title) {
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
  for (const KeyStroke& stroke : ParseKeySequenceText(keys)) {
    const auto key = static_cast<Qt::Key>(stroke.key);
    const auto modifiers = Qt::KeyboardModifiers::fromInt(stroke.modifiers);
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
