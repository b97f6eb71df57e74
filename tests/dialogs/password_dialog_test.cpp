// Drives the password dialog through timers, as a user would.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dialogs/modal_helper.h"
#include "dialogs/password_dialog.h"
#include "textutil/codepage.h"

using qv::test::AnswerMessageBox;
using qv::test::WhenModal;

namespace {

qv::ParamList FileParams() {
    qv::ParamList params;
    params.add("DATE=01.02.2026");
    params.add("QVONAME=" + qv::Utf8ToCp1250("Výplatní pásky"));
    params.add("QVOFROM=Novák");
    params.add("QVOOWNER=Jana");
    return params;
}

// Types into the dialog's boxes and runs then on it.
void OnDialog(const QString& email, const QString& password,
              std::function<void(qv::TQVOPasswordDlg*)> then) {
    WhenModal<qv::TQVOPasswordDlg>([=](qv::TQVOPasswordDlg* dialog) {
        dialog->LbEmail->setText(email);
        dialog->EdPassword->setText(password);
        then(dialog);
    });
}

}  // namespace

class PasswordDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void fileLayoutShowsParametersAndDesignPlaces() {
        qv::PasswordPromptState state;
        state.ResultMail = "X";
        const qv::ParamList params = FileParams();
        qv::TQVOPasswordDlg dialog(state, "Zadejte prosím heslo", &params);
        QCOMPARE(dialog.size(), QSize(418, 280));
        QCOMPARE(dialog.windowTitle(), QString("Zadání hesla"));
        QCOMPARE(dialog.LbVystupZ->text(), QString("Výplatní pásky"));
        QCOMPARE(dialog.LbVytvoren->text(), QString("01.02.2026"));
        QCOMPARE(dialog.LbPozn->text(), QString());
        QCOMPARE(dialog.PassLabel->text(), QString("Zadejte prosím heslo"));
        QVERIFY(dialog.PassLabel->font().bold());
        QCOMPARE(dialog.EdPassword->geometry(), QRect(5, 211, 406, 24));
        QCOMPARE(dialog.OKBtn->geometry(), QRect(256, 244, 75, 25));
        QVERIFY(dialog.OKBtn->isDefault());
        QVERIFY(dialog.LbEmail->isHidden());
        QVERIFY(!dialog.PnInfo->isHidden());
        QCOMPARE(dialog.EdPassword->echoMode(), QLineEdit::Password);
    }

    void newPasswordLayoutPlaces() {
        qv::PasswordPromptState state;
        qv::TQVOPasswordDlg dialog(state, "Heslo( minimálně 6 znaků )", nullptr);
        QCOMPARE(dialog.size(), QSize(322, 143));
        QCOMPARE(dialog.windowTitle(), QString("Zadání hesla do souboru s klíčem "));
        QVERIFY(dialog.PnInfo->isHidden());
        QVERIFY(dialog.LbCap->isHidden());
        QCOMPARE(dialog.LbEmail->geometry(), QRect(5, 25, 311, 21));
        QCOMPARE(dialog.EdPassword->geometry(), QRect(5, 72, 310, 24));
        QCOMPARE(dialog.OKBtn->pos(), QPoint(160, 109));
        QCOMPARE(dialog.CancelBtn->pos(), QPoint(240, 109));
        QCOMPARE(dialog.lb5->pos(), QPoint(6, 119));
        QVERIFY(!dialog.PassLabel->font().bold());
    }

    void okReturnsTrimmedPassword() {
        qv::PasswordPromptState state;
        OnDialog({}, "  a\tb  ", [](auto* dialog) { dialog->OKBtn->click(); });
        QCOMPARE(qv::AskPasswordForFile(state, "Zadejte prosím heslo", FileParams()),
                 std::string("a\tb"));
    }

    void enterActsAsOkAndEscAsCancel() {
        qv::PasswordPromptState state;
        OnDialog({}, "tajne",
                 [](auto* dialog) { QTest::keyClick(dialog->EdPassword, Qt::Key_Return); });
        QCOMPARE(qv::AskPasswordForFile(state, "p", FileParams()), std::string("tajne"));
        OnDialog({}, "jine",
                 [](auto* dialog) { QTest::keyClick(dialog->EdPassword, Qt::Key_Escape); });
        QCOMPARE(qv::AskPasswordForFile(state, "p", FileParams()), std::string());
    }

    // Closing with the frame's close button is a refusal, never the
    // password confirmed at the prompt before.
    void windowCloseCountsAsCancel() {
        qv::PasswordPromptState state;
        OnDialog({}, "prvni", [](auto* dialog) { dialog->OKBtn->click(); });
        QCOMPARE(qv::AskPasswordForFile(state, "p", FileParams()), std::string("prvni"));
        OnDialog({}, "druhe", [](auto* dialog) { dialog->close(); });
        QCOMPARE(qv::AskPasswordForFile(state, "p", FileParams()), std::string());
        QVERIFY(state.ResultPassword.empty());
    }

    void promptAfterCancelStartsEmpty() {
        qv::PasswordPromptState state;
        OnDialog({}, "abc", [](auto* dialog) { dialog->CancelBtn->click(); });
        qv::AskPasswordForFile(state, "p", FileParams());
        QString seen = "unset";
        WhenModal<qv::TQVOPasswordDlg>([&seen](qv::TQVOPasswordDlg* dialog) {
            seen = dialog->EdPassword->text();
            dialog->CancelBtn->click();
        });
        qv::AskPasswordForFile(state, "p", FileParams());
        QCOMPARE(seen, QString());
    }

    void refusalShowsReason_data() {
        QTest::addColumn<bool>("fileLayout");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("reason");
        QTest::newRow("spaces only, file") << true << ""
                                           << "   "
                                           << "chybné heslo";
        QTest::newRow("empty, new") << false << "a@b.cz"
                                    << ""
                                    << "chybné heslo";
        QTest::newRow("no e-mail") << false << "  "
                                   << "abc"
                                   << "nevyplněn e-mail";
        QTest::newRow("bad e-mail") << false << "ab@@c"
                                    << "abc"
                                    << "nekorektně zadaný e-mail";
        QTest::newRow("five chars") << false << "jan@firma.cz"
                                    << " 12345 "
                                    << "chybné heslo ( min. 6 znaků )";
    }

    void refusalShowsReason() {
        QFETCH(bool, fileLayout);
        QFETCH(QString, email);
        QFETCH(QString, password);
        QFETCH(QString, reason);
        qv::PasswordPromptState state;
        std::shared_ptr<qv::test::SeenBox> box;
        QString passwordAfterBox;
        OnDialog(email, password, [&](qv::TQVOPasswordDlg* dialog) {
            box = AnswerMessageBox(QMessageBox::Ok);
            dialog->OKBtn->click();  // returns once the box is answered
            passwordAfterBox = dialog->EdPassword->text();
            dialog->CancelBtn->click();
        });
        std::string mail = fileLayout ? "X" : "";
        std::string pass, owner;
        const qv::ParamList params = FileParams();
        qv::AskNewPassword(state, "p", fileLayout ? &params : nullptr, mail, pass, owner);
        QVERIFY(box && box->shown);
        QCOMPARE(box->title, QString("Chyba"));
        QCOMPARE(box->text, "Zadejte prosím znovu - " + reason);
        QCOMPARE(box->icon, QMessageBox::NoIcon);
        QCOMPARE(box->buttons, 1);
        QCOMPARE(passwordAfterBox, password);  // the dialog stayed open as it was
        QCOMPARE(pass, std::string());
    }

    void newPasswordOkReturnsMailAndOwner() {
        qv::PasswordPromptState state;
        OnDialog("  jan@firma.cz ", " 123456 ", [](auto* dialog) { dialog->OKBtn->click(); });
        std::string mail, pass, owner;
        qv::AskNewPassword(state, "p", nullptr, mail, pass, owner);
        QCOMPARE(pass, std::string("123456"));
        QCOMPARE(mail, std::string("jan@firma.cz"));
        QCOMPARE(qv::Cp1250ToUtf8(owner), std::string("NEZADÁNO_NEZADÁNO"));
    }

    void newPasswordCancelKeepsIncomingMail() {
        qv::PasswordPromptState state;
        QString boxAtStart = "unset";
        WhenModal<qv::TQVOPasswordDlg>([&boxAtStart](qv::TQVOPasswordDlg* dialog) {
            boxAtStart = dialog->LbEmail->text();
            dialog->LbEmail->setText("x@y.cz");
            dialog->EdPassword->setText("1234567");
            QTest::keyClick(dialog->LbEmail, Qt::Key_Escape);
        });
        std::string mail = "puvodni@mail.cz", pass = "old", owner = "old";
        qv::AskNewPassword(state, "p", nullptr, mail, pass, owner);
        QCOMPARE(boxAtStart, QString());
        QCOMPARE(mail, std::string("puvodni@mail.cz"));
        QCOMPARE(pass, std::string());
        QCOMPARE(owner, std::string());
    }
};

QTEST_MAIN(PasswordDialogTest)
#include "password_dialog_test.moc"
