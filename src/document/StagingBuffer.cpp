#include "document/StagingBuffer.h"

#include "app/state/modMainModule.h"
#include "editor/BufferForm.h"
#include "platform/richtext/RichTextBox.h"

RichTextBox &bufferBox()
{
    if (!App.Buffer)
        App.Buffer = frmBuffer().BufferBox();
    return *App.Buffer;
}

EmptiedAfterUse::~EmptiedAfterUse()
{
    if (box.textLength() > 0)
        box.setText(QString());
}
