#pragma once

// The printing commands of the File menu. Each works on the current editor
// window and its CommonDialog1; failures go to the error trap.

// The printer-setup dialog: what is chosen there is what the next Print
// dialog starts with.
void FilePageSetup();
// The Print dialog, then the document (or the selection) printed under a
// title line, once per copy asked for.
void FilePrint();
// Shows the pages Print would send: the selection when text is selected,
// else the whole document. The editor is left as it was.
void FilePrintPreview();
