// Feeds arbitrary bytes to the RTF reader: it must never crash, hang or touch
// memory it does not own, whatever the input.
#include "platform/RuntimeError.h"
#include "platform/rtf/RtfReader.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    try {
        insertRtf(cursor, QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const RuntimeError &) {
        // not RTF: a clean refusal is a pass
    }
    return 0;
}
