#pragma once

class RichTextBox;

// Buffer, the control of the hidden window frmBuffer where documents are
// staged off screen (loaded first if it is not).
RichTextBox &bufferBox();

// Buffer holds nothing between uses: emptied when the use ends, also when it
// failed.
struct EmptiedAfterUse
{
    RichTextBox &box;
    ~EmptiedAfterUse();
};
