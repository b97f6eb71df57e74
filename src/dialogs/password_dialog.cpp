#include "dialogs/password_dialog.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "dialogs/ui_fonts.h"
#include "textutil/codepage.h"
#include "textutil/password_rules.h"
#include "textutil/text_utils.h"

namespace qv {
namespace {

const QString kSansFace = QStringLiteral("MS Sans Serif");
const QString kSerifFace = QStringLiteral("MS Serif");

// Client sizes of the two layouts (outer sizes 426 x 307 and 330 x 170
// less a frame of 8 by 27 pixels).
constexpr QSize kFileLayoutClient(418, 280);
constexpr QSize kNewPasswordClient(322, 143);

std::string ToCp1250(const QString& text) {
    return Utf8ToCp1250(text.toStdString());
}
QString FromCp1250(const std::string& text) {
    return QString::fromStdString(Cp1250ToUtf8(text));
}

QLabel* MakeLabel(QWidget* parent, const QString& text, const QFont& font, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLabel* MakeRedMarker(QWidget* parent, const QString& text, int left, int top) {
    QLabel* label = MakeLabel(parent, text, PixelFont(kSansFace, 11, true), left, top);
    label->setStyleSheet(QStringLiteral("color: red"));
    return label;
}

}  // namespace

TQVOPasswordDlg::TQVOPasswordDlg(PasswordPromptState& state, const QString& prompt,
                                 const ParamList* params, QWidget* parent)
    : QDialog(parent), state_(state) {
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Zadání hesla"));
    setFont(PixelFont(kSansFace, 13));
    BuildControls();
    if (params != nullptr) {
        ArrangeFileLayout(*params);
    } else {
        ArrangeNewPasswordLayout();
    }
    PassLabel->setText(prompt);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TQVOPasswordDlg::BuildControls() {
    const QFont plain = PixelFont(kSansFace, 13);
    LbCap = MakeLabel(this, QStringLiteral("Soubor je zabezpečen heslem"),
                      PixelFont(kSansFace, 13, true), 8, 8);
    // The design width, widened when the face that stands in is wider.
    LbCap->resize(std::max(210, LbCap->sizeHint().width()), 16);
    BuildInfoPanel();

    PassLabel = new QLabel(this);
    PassLabel->setGeometry(7, 193, 295, 16);

    LbEmailLabel = MakeLabel(this, QStringLiteral("E-mail"), plain, 5, 48);
    LbEmail = new QLineEdit(this);
    LbEmail->setFont(plain);
    LbEmail->setGeometry(5, 64, 407, 21);

    EdPassword = new QLineEdit(this);
    EdPassword->setFont(plain);
    EdPassword->setEchoMode(QLineEdit::Password);
    EdPassword->setGeometry(5, 211, 406, 24);

    OKBtn = new QPushButton(QStringLiteral("Potvrdit"), this);
    OKBtn->setGeometry(256, 244, 75, 25);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Zrušit"), this);
    CancelBtn->setGeometry(336, 244, 75, 25);
    CancelBtn->setAutoDefault(false);
    connect(OKBtn, &QPushButton::clicked, this, &TQVOPasswordDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TQVOPasswordDlg::CancelBtnClick);

    lb2 = MakeRedMarker(this, QStringLiteral("*"), -1, 72);
    lb3 = MakeRedMarker(this, QStringLiteral("*"), -1, 220);
    lb5 = MakeLabel(this, QStringLiteral("* povinné údaje"), PixelFont(kSansFace, 11), 6, 256);
    lb5->setStyleSheet(QStringLiteral("color: red"));

    setTabOrder(LbEmail, EdPassword);
    setTabOrder(EdPassword, OKBtn);
    setTabOrder(OKBtn, CancelBtn);
}

void TQVOPasswordDlg::BuildInfoPanel() {
    PnInfo = new QFrame(this);
    PnInfo->setGeometry(6, 27, 405, 163);
    PnInfo->setFrameShape(QFrame::NoFrame);
    PnInfo->setAutoFillBackground(true);
    QPalette palette = PnInfo->palette();
    palette.setColor(QPalette::Window, Qt::white);
    PnInfo->setPalette(palette);

    QFont title = PixelFont(kSansFace, 13, true, true);
    title.setUnderline(true);
    MakeLabel(PnInfo, QStringLiteral("Informace o souboru :"), title, 8, 6);
    const QFont caption = PixelFont(kSansFace, 13, true, true);
    const QFont value = PixelFont(kSerifFace, 13);
    MakeLabel(PnInfo, QStringLiteral("Vytvořen :"), caption, 7, 26);
    MakeLabel(PnInfo, QStringLiteral("Výstup z :"), caption, 7, 44);
    MakeLabel(PnInfo, QStringLiteral("Vytvořil/a :"), caption, 7, 61);
    MakeLabel(PnInfo, QStringLiteral("Oprávněný uživatel/ka souboru :"), caption, 7, 88);
    MakeLabel(PnInfo, QStringLiteral("Pozn.:"), caption, 7, 131);
    LbVytvoren = MakeLabel(PnInfo, QString(), value, 97, 26);
    LbVystupZ = MakeLabel(PnInfo, QString(), value, 97, 43);
    LbVytvoril = MakeLabel(PnInfo, QString(), value, 97, 61);
    LbFileUser = MakeLabel(PnInfo, QString(), value, 3, 105);
    LbFileUser->setGeometry(3, 105, 394, 16);
    LbFileUser->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    LbPozn = MakeLabel(PnInfo, QString(), value, 67, 131);
}

void TQVOPasswordDlg::ArrangeFileLayout(const ParamList& params) {
    setFixedSize(kFileLayoutClient);
    LbEmailLabel->hide();
    LbEmail->hide();
    lb2->hide();
    lb3->hide();
    lb5->hide();
    PassLabel->setFont(PixelFont(kSansFace, 13, true));
    const struct {
        QLabel* label;
        const char* name;
    } lines[] = {{LbVytvoren, "DATE"},
                 {LbVystupZ, "QVONAME"},
                 {LbVytvoril, "QVOFROM"},
                 {LbFileUser, "QVOOWNER"},
                 {LbPozn, "QVOOPOZN"}};
    for (const auto& line : lines) {
        line.label->setText(FromCp1250(params.value(line.name)));
        if (line.label != LbFileUser) {
            line.label->adjustSize();
        }
    }
    EdPassword->setFocus();
}

void TQVOPasswordDlg::ArrangeNewPasswordLayout() {
    setWindowTitle(QStringLiteral("Zadání hesla do souboru s klíčem "));
    setFixedSize(kNewPasswordClient);
    LbCap->hide();
    PnInfo->hide();
    const int narrowedBy = kFileLayoutClient.width() - kNewPasswordClient.width();
    LbEmailLabel->move(5, 9);
    LbEmail->setGeometry(5, 25, 407 - narrowedBy, 21);
    lb2->move(-1, 32);
    lb3->move(-1, 80);
    lb5->move(6, 119);
    PassLabel->setFont(PixelFont(kSansFace, 13));
    PassLabel->move(7, 55);
    EdPassword->setGeometry(5, 72, 310, 24);
    OKBtn->move(160, 109);
    CancelBtn->move(240, 109);
    LbEmail->setFocus();
}

std::optional<QString> TQVOPasswordDlg::ValidateInput() const {
    const std::optional<std::string> reason = qv::ValidateInput(
        ToCp1250(EdPassword->text()), ToCp1250(LbEmail->text()), state_.ResultMail);
    if (!reason) {
        return std::nullopt;
    }
    return QString::fromStdString(*reason);
}

void TQVOPasswordDlg::OKBtnClick() {
    if (const std::optional<QString> reason = ValidateInput()) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Chyba"),
                        QStringLiteral("Zadejte prosím znovu - ") + *reason, QMessageBox::Ok, this);
        box.exec();
        return;
    }
    if (state_.ResultMail != kPasswordOnlyMail) {
        state_.ResultMail = TrimSpaces(ToCp1250(LbEmail->text()));
        state_.ResultOwner = Utf8ToCp1250("NEZADÁNO_NEZADÁNO");
    }
    state_.ResultPassword = TrimSpaces(ToCp1250(EdPassword->text()));
    accept();
}

void TQVOPasswordDlg::CancelBtnClick() {
    EdPassword->clear();
    state_.ResultPassword.clear();
    QDialog::reject();
}

void TQVOPasswordDlg::reject() {
    CancelBtnClick();
}

void AskNewPassword(PasswordPromptState& state, const QString& prompt, const ParamList* params,
                    std::string& email, std::string& password, std::string& owner,
                    QWidget* parent) {
    state.ResultMail = email;
    state.ResultOwner.clear();
    {
        TQVOPasswordDlg dialog(state, prompt, params, parent);
        dialog.exec();
    }
    password = state.ResultPassword;
    email = state.ResultMail;
    owner = state.ResultOwner;
}

std::string AskPasswordForFile(PasswordPromptState& state, const QString& prompt,
                               const ParamList& params, QWidget* parent) {
    std::string email(kPasswordOnlyMail);
    std::string password;
    std::string owner;
    AskNewPassword(state, prompt, &params, email, password, owner, parent);
    return password;
}

std::string DialogPasswordPrompt::AskPasswordForFile(const std::string& prompt,
                                                     const ParamList& params) {
    return qv::AskPasswordForFile(state_, MessageText(prompt), params, parent_);
}

}  // namespace qv
