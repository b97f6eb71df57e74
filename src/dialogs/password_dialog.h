#pragma once

#include <QDialog>
#include <string>

#include "container/container_reader.h"
#include "container/param_list.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QFrame;

namespace qv {

// The texts that outlive a single prompt. All three are code-page 1250 bytes,
// as the container code and the key-file export use them.
struct PasswordPromptState {
    std::string ResultPassword;  // the password confirmed last
    std::string ResultMail;      // the prompt's incoming e-mail text, or the one typed
    std::string ResultOwner;     // set by a confirmed new-password question
};

// The one dialog that asks for a password: the file layout (with the
// container's parameters shown) or the new-password layout (with the
// owner's e-mail address).
class TQVOPasswordDlg : public QDialog {
    Q_OBJECT
  public:
    // params given: file layout; null: new-password layout. state.ResultMail
    // must already hold the incoming e-mail text ("X" for password only).
    TQVOPasswordDlg(PasswordPromptState& state, const QString& prompt, const ParamList* params,
                    QWidget* parent = nullptr);

    // Null when the entries are accepted, else the reason shown to the user.
    std::optional<QString> ValidateInput() const;

    QLineEdit* EdPassword;
    QLineEdit* LbEmail;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QLabel* LbCap;
    QFrame* PnInfo;
    QLabel* PassLabel;
    QLabel* LbEmailLabel;
    QLabel* lb2;
    QLabel* lb3;
    QLabel* lb5;
    QLabel* LbVytvoren;
    QLabel* LbVystupZ;
    QLabel* LbVytvoril;
    QLabel* LbFileUser;
    QLabel* LbPozn;

  public slots:
    void OKBtnClick();
    void CancelBtnClick();
    // Esc and the window frame's close button end the prompt as Cancel does,
    // so a password confirmed at an earlier prompt is never handed back.
    void reject() override;

  private:
    void BuildControls();
    void BuildInfoPanel();
    void ArrangeFileLayout(const ParamList& params);
    void ArrangeNewPasswordLayout();

    PasswordPromptState& state_;
};

// Asks for a new password (params null) or a file's password (params given).
// email is the incoming e-mail text on the way in and ResultMail on the way
// out; password and owner receive ResultPassword and ResultOwner.
void AskNewPassword(PasswordPromptState& state, const QString& prompt, const ParamList* params,
                    std::string& email, std::string& password, std::string& owner,
                    QWidget* parent = nullptr);

// The file layout: returns the password, empty when the user cancels.
std::string AskPasswordForFile(PasswordPromptState& state, const QString& prompt,
                               const ParamList& params, QWidget* parent = nullptr);

// The container reader's password question, answered through the dialog.
class DialogPasswordPrompt : public PasswordPrompt {
  public:
    DialogPasswordPrompt(PasswordPromptState& state, QWidget* parent)
        : state_(state), parent_(parent) {}
    std::string AskPasswordForFile(const std::string& prompt, const ParamList& params) override;

  private:
    PasswordPromptState& state_;
    QWidget* parent_;
};

}  // namespace qv
