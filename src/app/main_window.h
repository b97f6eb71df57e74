#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPrinter>
#include <QTabWidget>
#include <QToolButton>
#include <memory>

#include "app/container_opener.h"
#include "app/page_loader.h"
#include "app/toggle_group.h"
#include "app/zoom_controller.h"
#include "dialogs/password_dialog.h"
#include "platform/preview/preview_control.h"

class QAction;
class QFrame;
class QMenu;

namespace qv {

class PreviewZoomAdapter;

// The viewer window: the tool panel, the page preview, the menu and the
// status bar. Zoom, loading and containers live in their own units.
class TQVMain : public QMainWindow {
    Q_OBJECT
  public:
    explicit TQVMain(ProgressBars* progress = nullptr, QWidget* parent = nullptr);
    ~TQVMain() override;

    PageLoader& Loader() { return *loader_; }
    ZoomController& Zoom() { return *zoom_; }
    PasswordPromptState& PromptState() { return promptState_; }
    QString HelpFile;  // the application's help file

    // The commands bound to the controls and menu items.
    void Open1Click();
    void Clear1Click() { loader_->Clear(); }
    void Dlenastaventiskrny1Click();
    void cbPreviewChange() { loader_->cbPreviewChange(FRefDevice, FOpenDialogFileName); }
    void mnuMarginsClick();
    void Print1Click() {}
    void Printer1Click() {}
    void Exportheslovhosouboru1Click() {}
    void Obsah1Click() {}
    void MerAut() {}
    void First1Click() { Prev->First(); }
    void Previous1Click() { Prev->Prior(); }
    void Next1Click() { Prev->Next(); }
    void Last1Click() { Prev->Last(); }

    // Loads the Open dialog's choice; a failure shows its message. Tests
    // call it in place of the dialog.
    void OpenFiles(const QStringList& names);

    TPreviewControl* Prev;
    QTabWidget* PageControl1;
    QFrame* PnLeft;
    QToolButton* SBExit;
    QToolButton* SpeedButton6;
    QToolButton* SbSirka;
    QToolButton* SBCela;
    QToolButton* SBMeritko;
    QToolButton* SpeedButton7;
    QToolButton* SBZPlus;
    QToolButton* SBZMin;
    QLineEdit* edScale;
    QToolButton* BtNastav;
    QToolButton* SBm[8];
    QToolButton* SbFirst;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton3;
    QToolButton* SbLast;
    QLabel* StatusPanel[3];
    QAction* Open1;
    QAction* Zavtnhled1;
    QAction* Print1;
    QAction* Printer1;
    QAction* Exit1;
    QAction* mnuMargins;
    QAction* Naceloustrnku1;
    QAction* Nakustrnky1;
    QAction* Dlemtka1;
    QAction* Dlenastaventiskrny1;
    QAction* Exportheslovhosouboru1;
    QAction* Obsah1;
    QAction* About1;
    QMenu* MHelp;

    int FRefDevice = 1;
    QString FOpenDialogFileName;  // the first file chosen at the last confirmed Open
    QPrinter FPrinter;

  signals:
    void Closed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void BuildToolPanel();
    void BuildMenu();
    void BuildStatusBar();
    void BindControls();
    void CreatePreview();
    void PlaceBottomControls();
    // Runs a command; an error shows its message and the window goes on.
    void Run(const std::function<void()>& command);
    template <typename Sender, typename Signal>
    void Bind(Sender* sender, Signal signal, std::function<void()> command);

    void PrevChange();
    void PrevDrawPage(int pageIndex);
    void PPMouseDown(Qt::KeyboardModifiers modifiers);
    bool FormKeyDown(QKeyEvent* event);
    void FormKeyUp(QKeyEvent* event);

    PasswordPromptState promptState_;
    std::unique_ptr<DialogPasswordPrompt> prompt_;
    std::unique_ptr<PreviewZoomAdapter> zoomPreview_;
    ToggleButtonGroup group1_;
    ToggleButtonGroup group2_;
    std::unique_ptr<ZoomController> zoom_;
    std::unique_ptr<PageLoader> loader_;
    std::unique_ptr<ContainerOpener> opener_;
    ProgressBars* progress_;
};

}  // namespace qv
