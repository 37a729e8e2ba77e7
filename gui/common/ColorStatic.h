#pragma once
// A static text whose text and background colours the owner sets, and which can blink between two
// colour pairs. Colours are 0x00BBGGRR values.
#include <QLabel>
#include <cstdint>

class CColorStatic : public QLabel {
public:
    explicit CColorStatic(QWidget* parent = nullptr);
    ~CColorStatic() override;

    // Current and steady colours; redraw repaints at once.
    void SetColors(uint32_t text, uint32_t background, bool redraw = true);
    // Current and steady background only (the colour swatches of the settings dialogs).
    void SetBackgroundColor(uint32_t background, bool redraw = true);
    uint32_t GetBackgroundColor() const { return steadyBack_; }

    void SetBlinkColors(uint32_t textA, uint32_t backA, uint32_t textB, uint32_t backB);
    // Already blinking: nothing happens (the first period stays).
    void StartBlink(int periodMs);
    void StopBlink();

    bool IsBlinking() const { return blinking_; }
    int BlinkPeriod() const { return blinking_ ? period_ : 0; }
    uint32_t CurrentTextColor() const { return curText_; }
    uint32_t CurrentBackgroundColor() const { return curBack_; }
    // One blink step, as the timer does it.
    void Toggle();

    static QColor ToQColor(uint32_t colorRef);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void ApplyColors();

    uint32_t curBack_ = 0xFFFFFF, steadyBack_ = 0xFFFFFF, blinkBackA_ = 0xFFFFFF, blinkBackB_ = 0x000000;
    uint32_t curText_ = 0x000000, steadyText_ = 0x000000, blinkTextA_ = 0x000000, blinkTextB_ = 0xFFFFFF;
    bool blinking_ = false;
    int timerId_ = 0;
    int period_ = 0;
};
