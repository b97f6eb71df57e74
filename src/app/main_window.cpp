#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTabBar>

#include "app/error_report.h"
#include "dialogs/ui_fonts.h"

namespace qv {

// The real preview behind the zoom commands.
class PreviewZoomAdapter : public ZoomPreview {
  public:
    explicit PreviewZoomAdapter(TPreviewControl& prev) : prev_(prev) {}
    void BeginUpdate() override { prev_.BeginUpdate(); }
    void EndUpdate() override { prev_.EndUpdate(); }
    int Scale() const override { return prev_.Scale(); }
    void SetScale(int percent) override { prev_.SetScale(percent); }
    ScaleMode GetScaleMode() const override { return prev_.GetScaleMode(); }
    void SetScaleMode(ScaleMode mode) override { prev_.SetScaleMode(mode); }
    void SetRows(int rows) override { prev_.SetRows(rows); }
    void SetCols(int cols) override { prev_.SetCols(cols); }
    void SetTopRow(int row) override { prev_.SetTopRow(row); }
    int SelectedPage() const override { return prev_.SelectedPage(); }
    void SetCursorKind(int kind) override { prev_.SetCursorKind(kind); }

  private:
    TPreviewControl& prev_;
};

TQVMain::TQVMain(ProgressBars* progress, QWidget* parent)
    : QMainWindow(parent), FPrinter(QPrinter::HighResolution), progress_(progress) {
    setObjectName(QStringLiteral("QVMain"));
    setWindowTitle(QStringLiteral("Qelvar Ondix"));
    setFont(PixelFont(QStringLiteral("MS Shell Dlg 2"), 11));
    setMinimumSize(620, 610);
    resize(796, 617);
    prompt_ = std::make_unique<DialogPasswordPrompt>(promptState_, this);

    BuildMenu();
    BuildToolPanel();
    BuildStatusBar();
    CreatePreview();
    BindControls();
    qApp->installEventFilter(this);
}

TQVMain::~TQVMain() {
    qApp->removeEventFilter(this);
}

void TQVMain::CreatePreview() {
    PageControl1 = new QTabWidget;
    auto* tabPreview = new QWidget;
    auto* row = new QHBoxLayout(tabPreview);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    Prev = new TPreviewControl;
    Prev->setObjectName(QStringLiteral("Prev"));
    Prev->setFocusPolicy(Qt::StrongFocus);
    row->addWidget(PnLeft);
    row->addWidget(Prev, 1);
    PageControl1->addTab(tabPreview, QStringLiteral("Náhled"));
    QFont tabFont(QStringLiteral("Tahoma"));
    tabFont.setPixelSize(11);
    PageControl1->tabBar()->setFont(tabFont);
    PageControl1->tabBar()->setTabTextColor(0, QColor(0, 0, 128));
    setCentralWidget(PageControl1);

    zoomPreview_ = std::make_unique<PreviewZoomAdapter>(*Prev);
    zoom_ = std::make_unique<ZoomController>(*zoomPreview_, group1_, group2_, *edScale);
    loader_ = std::make_unique<PageLoader>(*Prev, FPrinter,
                                           [this](const QString& name) { opener_->Open(name); });
    ContainerWindow window;
    window.parent = this;
    window.setCaption = [this](const QString& caption) { setWindowTitle(caption); };
    window.applyScale = [this](int zoom) {
        edScale->setText(QString::number(zoom));
        zoom_->BtNastavClick();
    };
    opener_ = std::make_unique<ContainerOpener>(*loader_, *prompt_, progress_, std::move(window));

    zoom_->FCurScale = 100;
    FRefDevice = 0;
    zoom_->FViewMode = 1;
    Prev->BeginUpdate();
    connect(Prev, &TPreviewControl::Changed, this, &TQVMain::PrevChange);
    connect(Prev, &TPreviewControl::PageDrawn, this, &TQVMain::PrevDrawPage);
    connect(Prev, &TPreviewControl::MouseDown, this,
            [this](Qt::MouseButton, Qt::KeyboardModifiers modifiers, QPoint) {
                Run([&] { PPMouseDown(modifiers); });
            });
    Prev->SetScrollHintHandler(
        [this](int) { return QString::asprintf("Strana %d", Prev->TopRow() * Prev->Cols() + 1); });
    Prev->setEnabled(true);
    Run([this] {
        Prev->SetDrawMargins(mnuMargins->isChecked());
        Prev->SetRows(1);
        Prev->SetCols(1);
        Prev->SetShadowOffset(5);
        Prev->SetScale(zoom_->FCurScale);
        FRefDevice = 1;
        cbPreviewChange();
        zoom_->cbScaleModeChange();
    });
    Prev->EndUpdate();
}

void TQVMain::Run(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& error) {
        ShowErrorMessage(this, error);
    }
}

template <typename Sender, typename Signal>
void TQVMain::Bind(Sender* sender, Signal signal, std::function<void()> command) {
    connect(sender, signal, this, [this, command] { Run(command); });
}

void TQVMain::BindControls() {
    Bind(SBExit, &QToolButton::clicked, [this] { close(); });
    Bind(Exit1, &QAction::triggered, [this] { close(); });
    Bind(SpeedButton6, &QToolButton::clicked, [this] { Print1Click(); });
    Bind(Print1, &QAction::triggered, [this] { Print1Click(); });
    Bind(Printer1, &QAction::triggered, [this] { Printer1Click(); });
    Bind(Open1, &QAction::triggered, [this] { Open1Click(); });
    Bind(Zavtnhled1, &QAction::triggered, [this] { Clear1Click(); });
    Bind(mnuMargins, &QAction::triggered, [this] { mnuMarginsClick(); });
    Bind(Naceloustrnku1, &QAction::triggered, [this] { zoom_->Naceloustrnku1Click(); });
    Bind(Nakustrnky1, &QAction::triggered, [this] { zoom_->Nakustrnky1Click(); });
    Bind(Dlemtka1, &QAction::triggered, [this] { zoom_->Dlemtka1Click(); });
    Bind(Dlenastaventiskrny1, &QAction::triggered, [this] { Dlenastaventiskrny1Click(); });
    Bind(Exportheslovhosouboru1, &QAction::triggered, [this] { Exportheslovhosouboru1Click(); });
    Bind(Obsah1, &QAction::triggered, [this] { Obsah1Click(); });
    Bind(About1, &QAction::triggered, [this] { MerAut(); });
    Bind(SBZPlus, &QToolButton::clicked, [this] { zoom_->SBZPlusClick(); });
    Bind(SBZMin, &QToolButton::clicked, [this] { zoom_->SBZMinClick(); });
    Bind(BtNastav, &QToolButton::clicked, [this] { zoom_->BtNastavClick(); });
    Bind(SbFirst, &QToolButton::clicked, [this] { First1Click(); });
    Bind(SpeedButton2, &QToolButton::clicked, [this] { Previous1Click(); });
    Bind(SpeedButton3, &QToolButton::clicked, [this] { Next1Click(); });
    Bind(SbLast, &QToolButton::clicked, [this] { Last1Click(); });
    connect(&group1_, &ToggleButtonGroup::Clicked, this, [this](int index) {
        Run([this, index] {
            switch (index) {
                case kSBCela:
                    zoom_->SB();
                    break;
                case kSbSirka:
                    zoom_->MerSirkaStr();
                    break;
                case kSBMeritko:
                    zoom_->MerNastav();
                    break;
                default:
                    zoom_->SpeedButton7Click();
                    break;
            }
        });
    });
    connect(&group2_, &ToggleButtonGroup::Clicked, this,
            [this](int index) { Run([this, index] { zoom_->SBMeritkoClick(index); }); });
}

void TQVMain::PrevChange() {
    zoom_->PrevChange();
    mnuMargins->setChecked(Prev->DrawMargins());
    StatusPanel[0]->setText(QFileInfo(FOpenDialogFileName).fileName());
    StatusPanel[1]->setText(QString::asprintf("%d Strana /", Prev->SelectedPage() + 1) +
                            QString::asprintf("%d Stran", Prev->PageCount()));
}

void TQVMain::PrevDrawPage(int pageIndex) {
    StatusPanel[1]->setText(QString::asprintf("%d Strana /", pageIndex + 1) +
                            QString::asprintf("%d Stran", Prev->PageCount()));
}

void TQVMain::PPMouseDown(Qt::KeyboardModifiers modifiers) {
    zoom_->PPMouseDown(modifiers.testFlag(Qt::AltModifier));
}

void TQVMain::mnuMarginsClick() {
    Prev->SetDrawMargins(mnuMargins->isChecked());
}

void TQVMain::Dlenastaventiskrny1Click() {
    FRefDevice = Dlenastaventiskrny1->isChecked() ? 1 : 0;
    cbPreviewChange();
}

void TQVMain::Open1Click() {
    QFileDialog dialog(this);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters({QStringLiteral("Qelvar Viewer Object (*.qvo)"),
                           QStringLiteral("Enhanced Metafiles (*.emf)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    OpenFiles(dialog.selectedFiles());
}

void TQVMain::OpenFiles(const QStringList& names) {
    FOpenDialogFileName = names.constFirst();
    const QString ext = UpperExtension(FOpenDialogFileName);
    if (ext == QLatin1String(".QVO") || ext == QLatin1String(".EMF")) {
        Run([this, &names] { loader_->LoadFileList(names); });
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Upozornění"),
                    QStringLiteral("Neznámý typ souboru. Soubor nelze načíst"), QMessageBox::Ok,
                    this);
    box.exec();
}

bool TQVMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PnLeft && event->type() == QEvent::Resize) {
        PlaceBottomControls();
        return false;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
        return false;
    }
    // Keys reach the window before the control that has the focus: take
    // each key once, where it is first delivered inside this window.
    auto* widget = qobject_cast<QWidget*>(watched);
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : this;
    if (widget == nullptr || widget != target || !(widget == this || isAncestorOf(widget)) ||
        QApplication::activeModalWidget() != nullptr) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::KeyPress) {
        return FormKeyDown(key);
    }
    FormKeyUp(key);
    return false;
}

bool TQVMain::FormKeyDown(QKeyEvent* event) {
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    switch (event->key()) {
        case Qt::Key_PageUp:
            ctrl ? First1Click() : Previous1Click();
            break;
        case Qt::Key_PageDown:
            ctrl ? Last1Click() : Next1Click();
            break;
        case Qt::Key_P:
        case Qt::Key_T:
            if (ctrl) {
                Run([this] { Print1Click(); });
            }
            break;
        default:
            break;
    }
    return false;  // the key goes on to the focused control
}

void TQVMain::FormKeyUp(QKeyEvent* event) {
    if (event->isAutoRepeat()) {
        return;
    }
    switch (event->key()) {
        case Qt::Key_Left:
            Prev->ScrollLines(Qt::Horizontal, -1);
            break;
        case Qt::Key_Right:
            Prev->ScrollLines(Qt::Horizontal, 1);
            break;
        case Qt::Key_Up:
            Prev->ScrollLines(Qt::Vertical, -1);
            break;
        case Qt::Key_Down:
            Prev->ScrollLines(Qt::Vertical, 1);
            break;
        default:
            break;
    }
}

void TQVMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (Prev->focusPolicy() != Qt::NoFocus) {
        Prev->setFocus();
    }
}

void TQVMain::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    emit Closed();
}

}  // namespace qv
