#pragma once

#include <QByteArray>
#include <QString>

// Shared set-up of the fuzz targets that need Qt: an offscreen application
// and a scratch folder with a few files that inputs can name.
namespace FuzzSupport {

// Creates the application once; call from LLVMFuzzerInitialize.
void startApplication(int *argc, char ***argv);

// A folder of its own for this process, on tmpfs when there is one so that
// the settings' synced writes stay cheap. It holds "image.png" (a valid
// image), "truncated.png", "text.txt", a folder "dir.png" and a FIFO
// "fifo.png". It is under $ZORV_FUZZ_SCRATCH when that is set.
QString scratchFolder();

// Inputs name the scratch folder as "@DIR@", so seeds can point at its files.
QByteArray withScratchPaths(QByteArray input);

// Removes everything in `folder` but leaves the folder.
void emptyFolder(const QString &folder);

} // namespace FuzzSupport
