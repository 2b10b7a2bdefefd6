#include "editor/StatusPanels.h"

#include "platform/system/StatusBar.h"

namespace {

struct PanelDesign
{
    int style;
    const char *text;
    const char *toolTip;
    int autoSize;
    double width; // twips; for the position panel its least width
};

const PanelDesign panelDesigns[] = {
    {sbrText, "", "", sbrSpring, 0},
    {sbrText, " Ln 1, Col 1  ", "Current Position", sbrContents, 1000},
    {sbrIns, "INS", "Insert", sbrNoAutoSize, 600},
    {sbrCaps, "CAPS", "Capslock", sbrNoAutoSize, 600},
    {sbrNum, "NUM", "Numlock", sbrNoAutoSize, 600},
};

} // namespace

void setUpStatusPanels(StatusBar &bar)
{
    for (const PanelDesign &design : panelDesigns) {
        StatusBarPanel *panel = bar.addPanel();
        panel->setStyle(design.style);
        panel->setText(QString::fromLatin1(design.text));
        panel->setToolTipText(QString::fromLatin1(design.toolTip));
        panel->setAutoSize(design.autoSize);
        panel->setBevel(sbrInset);
        if (design.autoSize == sbrContents)
            panel->setMinWidth(design.width);
        else if (design.autoSize == sbrNoAutoSize)
            panel->setWidth(design.width);
    }
}

QString positionPanelText(int line, int column)
{
    return QStringLiteral(" Ln %1, Col %2  ").arg(line).arg(column);
}
