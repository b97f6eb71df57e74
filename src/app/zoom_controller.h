#pragma once

#include <QLineEdit>

#include "app/toggle_group.h"
#include "platform/preview/preview_control.h"

namespace qv {

// The operations of the page preview that zoom uses; the window passes the
// real preview, tests a stand-in.
class ZoomPreview {
  public:
    virtual ~ZoomPreview() = default;
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    virtual int Scale() const = 0;
    virtual void SetScale(int percent) = 0;
    virtual ScaleMode GetScaleMode() const = 0;
    virtual void SetScaleMode(ScaleMode mode) = 0;
    virtual void SetRows(int rows) = 0;
    virtual void SetCols(int cols) = 0;
    virtual void SetTopRow(int row) = 0;
    virtual int SelectedPage() const = 0;
    virtual void SetCursorKind(int kind) = 0;
};

// The mode buttons of group 1, in the order they join their group.
enum ModeButton { kSBCela = 0, kSbSirka = 1, kSBMeritko = 2, kSpeedButton7 = 3 };

// The window's scale modes, preset percentages, typed scale and mouse zoom.
class ZoomController {
  public:
    static constexpr int kPresetTags[8] = {10, 20, 60, 70, 90, 120, 150, 200};

    ZoomController(ZoomPreview& prev, ToggleButtonGroup& modes, ToggleButtonGroup& presets,
                   QLineEdit& edScale)
        : prev_(prev), modes_(modes), presets_(presets), edScale_(edScale) {}

    int FViewMode = 1;  // 0 full page, 1 page width, 2 custom scale
    int FCurScale = 100;

    // The preview changed: the scale it really uses.
    void PrevChange() { FCurScale = prev_.Scale(); }
    void cbScaleModeChange();

    // Clicks of the mode buttons (after the group has toggled the button).
    void SB();
    void MerSirkaStr();
    void MerNastav();
    void SpeedButton7Click();
    // The menu "Zobrazení".
    void Naceloustrnku1Click();
    void Nakustrnky1Click();
    void Dlemtka1Click();

    void SBZPlusClick();
    void SBZMinClick();
    // Throws Error when edScale holds no whole number.
    void BtNastavClick();
    void SBMeritkoClick(int presetIndex);
    void PPMouseDown(bool altHeld);
    void ReleasePresetButtons() { presets_.SetDown(-1); }

  private:
    void ToFixedMode(ScaleMode mode, int viewMode);
    void SwitchToCustom();
    void WriteBack();
    int ScaleFromEdit() const;

    ZoomPreview& prev_;
    ToggleButtonGroup& modes_;
    ToggleButtonGroup& presets_;
    QLineEdit& edScale_;
};

}  // namespace qv
