#include "document/ErrorTrap.h"

#include "document/ProgramEnd.h"
#include "platform/RuntimeError.h"
#include "platform/dialogs/MessageBox.h"

#include <exception>
#include <new>

void ReportUnknownError(const RuntimeError &error)
{
    if (error.Number() == ErrCancel)
        return;
    QString prompt = QStringLiteral("An Unknown Error occured: %1\r\n").arg(error.Number());
    if (!error.Description().isEmpty())
        prompt += error.Description() + QStringLiteral("\r\n");
    prompt += QStringLiteral(
        "Click 'OK' to close Scrivlet or 'Cancel' to attempt to resume operation.");
    if (MsgBox(prompt, vbOKCancel + vbCritical, QStringLiteral("Unknown Error")) == vbOK)
        endProgramNow();
}

bool runTrapped(const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const RuntimeError &error) {
        ReportUnknownError(error);
    } catch (const std::bad_alloc &) {
        ReportUnknownError(RuntimeError(ErrOutOfMemory, QStringLiteral("Out of memory")));
    } catch (const std::exception &fault) {
        // Nothing may cross Qt's event loop: a fault of the program is
        // reported like any other error, and the user may go on.
        ReportUnknownError(RuntimeError(ErrInternal,
                                        QStringLiteral("Internal error: ")
                                            + QString::fromLocal8Bit(fault.what())));
    } catch (...) {
        ReportUnknownError(RuntimeError(ErrInternal, QStringLiteral("Internal error")));
    }
    return false;
}
