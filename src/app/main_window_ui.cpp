// The controls of the viewer window: tool panel, menu and status bar.
#include <QFrame>
#include <QIntValidator>
#include <QMenuBar>
#include <QStatusBar>

#include <optional>

#include "app/main_window.h"
#include "app/tool_icons.h"
#include "dialogs/ui_fonts.h"

namespace qv {
namespace {

// The design height of the tool panel; controls anchored to its bottom
// keep their distance to the bottom edge.
constexpr int kPanelDesignHeight = 575;

QToolButton* MakeButton(QWidget* parent, QRect place, const QString& hint,
                        std::optional<ToolGlyph> glyph = std::nullopt) {
    auto* button = new QToolButton(parent);
    button->setGeometry(place);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    if (!hint.isEmpty()) {
        // Hints belong to the buttons; the window shows no tooltips.
        button->setStatusTip(hint);
        button->setAccessibleName(hint);
    }
    if (glyph) {
        button->setIcon(ToolIcon(*glyph, place.height() - 6));
        button->setIconSize(QSize(place.height() - 6, place.height() - 6));
    }
    return button;
}

QFrame* MakeBevel(QWidget* parent, int top) {
    auto* bevel = new QFrame(parent);
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(3, top, 45, 2);
    return bevel;
}

}  // namespace

void TQVMain::BuildToolPanel() {
    PnLeft = new QFrame;
    PnLeft->setFixedWidth(51);
    PnLeft->setFrameShape(QFrame::Panel);
    PnLeft->setFrameShadow(QFrame::Sunken);
    PnLeft->installEventFilter(this);

    SBExit = MakeButton(PnLeft, {14, 5, 25, 25}, QStringLiteral("Konec"), ToolGlyph::Exit);
    MakeBevel(PnLeft, 32);
    SpeedButton6 = MakeButton(PnLeft, {14, 37, 25, 25}, QStringLiteral("Tisk"), ToolGlyph::Print);
    MakeBevel(PnLeft, 63);
    SbSirka = MakeButton(PnLeft, {14, 66, 25, 25}, QStringLiteral("Velikost na šířku stránky"),
                         ToolGlyph::PageWidth);
    SBCela = MakeButton(PnLeft, {14, 91, 25, 25}, QStringLiteral("Velikost na celou stránku"),
                        ToolGlyph::FullPage);
    SBMeritko = MakeButton(PnLeft, {14, 116, 25, 25}, QStringLiteral("Velikost dle měřítka"),
                           ToolGlyph::Custom);
    SpeedButton7 = MakeButton(PnLeft, {14, 141, 25, 25}, QString(), ToolGlyph::Pointer);
    MakeBevel(PnLeft, 174);
    SBZPlus = MakeButton(PnLeft, {1, 179, 24, 24}, QStringLiteral("Přiblížit"), ToolGlyph::ZoomIn);
    SBZMin = MakeButton(PnLeft, {26, 179, 24, 24}, QStringLiteral("Oddálit"), ToolGlyph::ZoomOut);
    auto* label4 = new QLabel(QStringLiteral("Měřítko:"), PnLeft);
    label4->move(5, 207);
    edScale = new QLineEdit(QStringLiteral("1"), PnLeft);
    edScale->setGeometry(1, 223, 47, 21);
    edScale->setValidator(new QIntValidator(1, 999999, edScale));
    BtNastav = MakeButton(PnLeft, {3, 243, 45, 17}, QStringLiteral("Nastav měřítko"));
    BtNastav->setText(QStringLiteral("Nastav"));
    BtNastav->setAutoRaise(false);
    const int presetTops[8] = {263, 279, 295, 311, 327, 343, 359, 375};
    for (int i = 0; i < 8; ++i) {
        SBm[i] = MakeButton(PnLeft, {3, presetTops[i], 45, i == 7 ? 19 : 17}, QString());
        SBm[i]->setText(QString::number(ZoomController::kPresetTags[i]));
        SBm[i]->setAutoRaise(false);
        SBm[i]->setProperty("tag", ZoomController::kPresetTags[i]);
        group2_.Add(SBm[i]);
    }
    for (QToolButton* button : {SBCela, SbSirka, SBMeritko, SpeedButton7}) {
        group1_.Add(button);  // in the order of ModeButton
    }
    MakeBevel(PnLeft, 459)->setObjectName(QStringLiteral("Bevel4"));
    SbFirst =
        MakeButton(PnLeft, {12, 466, 25, 25}, QStringLiteral("První stránka"), ToolGlyph::First);
    SpeedButton2 = MakeButton(PnLeft, {12, 491, 25, 25}, QStringLiteral("Předchozí stránka"),
                              ToolGlyph::Previous);
    SpeedButton3 =
        MakeButton(PnLeft, {12, 516, 25, 25}, QStringLiteral("Další stránka"), ToolGlyph::Next);
    SbLast =
        MakeButton(PnLeft, {12, 542, 25, 25}, QStringLiteral("POslední stránka"), ToolGlyph::Last);
}

void TQVMain::PlaceBottomControls() {
    const int shift = PnLeft->height() - kPanelDesignHeight;
    const struct {
        QWidget* widget;
        int top;
    } anchored[] = {{PnLeft->findChild<QFrame*>(QStringLiteral("Bevel4")), 459},
                    {SbFirst, 466},
                    {SpeedButton2, 491},
                    {SpeedButton3, 516},
                    {SbLast, 542}};
    for (const auto& item : anchored) {
        item.widget->move(item.widget->x(), item.top + shift);
    }
}

void TQVMain::BuildMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("Soubor"));
    Open1 = file->addAction(QStringLiteral("Otevřít..."));
    Open1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    file->addSeparator();
    Zavtnhled1 = file->addAction(QStringLiteral("Zavřít náhled"));
    file->addSeparator();
    Print1 = file->addAction(QStringLiteral("Tisk..."));
    Print1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    Printer1 = file->addAction(QStringLiteral("Tiskárna nastavení..."));
    Printer1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    file->addSeparator();
    Exit1 = file->addAction(QStringLiteral("Konec"));
    Exit1->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));

    QMenu* settings = menuBar()->addMenu(QStringLiteral("Nastavení"));
    mnuMargins = settings->addAction(QStringLiteral("Zobrazovat hranice tisku"));
    mnuMargins->setCheckable(true);
    settings->addSeparator();
    QMenu* view = settings->addMenu(QStringLiteral("Zobrazení"));
    Naceloustrnku1 = view->addAction(QStringLiteral("Na celou stránku"));
    Nakustrnky1 = view->addAction(QStringLiteral("Na šířku stránky"));
    Dlemtka1 = view->addAction(QStringLiteral("Vlastní"));
    settings->addSeparator();
    Dlenastaventiskrny1 =
        settings->addAction(QStringLiteral("Použít zobrazení dle nastavení tiskárny"));
    Dlenastaventiskrny1->setCheckable(true);

    QMenu* exportMenu = menuBar()->addMenu(QStringLiteral("Export"));
    Exportheslovhosouboru1 =
        exportMenu->addAction(QStringLiteral("Export hesla do souboru s klíčem"));

    // "Nápověda" sits at the right end of the menu bar.
    auto* helpBar = new QMenuBar(menuBar());
    MHelp = helpBar->addMenu(QStringLiteral("Nápověda"));
    Obsah1 = MHelp->addAction(QStringLiteral("Obsah"));
    MHelp->addSeparator();
    About1 = MHelp->addAction(QStringLiteral("Verze"));
    menuBar()->setCornerWidget(helpBar, Qt::TopRightCorner);
}

void TQVMain::BuildStatusBar() {
    const int widths[3] = {200, 150, 50};
    for (int i = 0; i < 3; ++i) {
        StatusPanel[i] = new QLabel;
        StatusPanel[i]->setFixedWidth(widths[i]);
        StatusPanel[i]->setFrameShape(QFrame::Panel);
        StatusPanel[i]->setFrameShadow(QFrame::Sunken);
        statusBar()->addWidget(StatusPanel[i]);
    }
    statusBar()->setSizeGripEnabled(false);
}

}  // namespace qv
