#pragma once

#include "editor/ToolDialog.h"

class AboutPicture;
class QLabel;
class QPushButton;

// The About box frmAbout: the program's name, its author and a picture;
// "Woopty!" closes it, Clean Registry deletes every stored setting and ends
// the program. It is always top-most. Neither button answers to Enter unless
// it has the focus, and Esc does nothing.
class AboutDialog : public ToolDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *owner);

    // Run as the window loads: top-most, centred on the screen.
    void Form_Load();

    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    AboutPicture *Picture1;
    QPushButton *Command1;
    QPushButton *Command2;

private:
    void Command2_Click();
};

// Opens the About box, modal and owned by the current editor window, and
// returns when it is closed.
void HelpAbout();

// Deletes the program's whole entry from the settings store, both sections
// and every key; with nothing stored it does nothing.
void CleanRegistry();
