#pragma once

#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

// Panel styles, sizing and bevels of the status bar.
enum SbrStyle { sbrText = 0, sbrCaps = 1, sbrNum = 2, sbrIns = 3 };
enum SbrAutoSize { sbrNoAutoSize = 0, sbrSpring = 1, sbrContents = 2 };
enum SbrBevel { sbrNoBevel = 0, sbrInset = 1, sbrRaised = 2 };

class StatusBar;

// One panel. Widths are in twips. Key-state panels (sbrCaps, sbrNum, sbrIns)
// keep themselves up to date: their text shows in full while the key state is
// on and dimmed while it is off.
class StatusBarPanel
{
public:
    QString Text() const { return m_text; }
    void setText(const QString &text);
    QString ToolTipText() const { return m_toolTip; }
    void setToolTipText(const QString &text);
    int Style() const { return m_style; }
    void setStyle(int style);
    int AutoSize() const { return m_autoSize; }
    void setAutoSize(int autoSize);
    int Bevel() const { return m_bevel; }
    void setBevel(int bevel);
    double MinWidth() const { return m_minWidth; }
    void setMinWidth(double twips);
    double Width() const { return m_width; }
    void setWidth(double twips);

private:
    friend class StatusBar;
    explicit StatusBarPanel(StatusBar *bar)
        : m_bar(bar)
    {
    }

    StatusBar *m_bar;
    QString m_text;
    QString m_toolTip;
    int m_style = sbrText;
    int m_autoSize = sbrNoAutoSize;
    int m_bevel = sbrInset;
    double m_minWidth = 0;
    double m_width = 1440;
};

// A status bar with panels, drawn along the bottom of its window.
class StatusBar : public QWidget
{
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent = nullptr);
    ~StatusBar() override;

    // Panels are numbered from 1; a number out of range raises RuntimeError
    // ErrIndexOutOfBounds.
    StatusBarPanel *Panels(int index) const;
    int panelCount() const;
    // The number of panel (from 1), or 0 when it is not one of this bar's.
    int indexOf(const StatusBarPanel *panel) const;
    StatusBarPanel *addPanel();

    // Where panel index is drawn (bar coordinates), the text it shows, and
    // whether that text shows in full (false: dimmed, a key-state panel whose
    // key is off). A key-state panel without text shows its key's name.
    QRect panelGeometry(int index) const;
    QString panelDisplayText(int index) const;
    bool panelShownInFull(int index) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    friend class StatusBarPanel;
    void panelChanged();
    const StatusBarPanel &panelAt(int index) const;
    int naturalWidth(const StatusBarPanel &panel) const;
    std::vector<QRect> panelGeometries() const;

    std::vector<std::unique_ptr<StatusBarPanel>> m_panels;
};
