#include "editor/RackEditor.h"
#include "plugin/RackAccess.h"
#include "plugin/host/FileSelector.h"

#include <cstdio>
#include <cstring>

// The two questions the editor asks through the host's file selector: where
// the content folder is, and which bank to load.

namespace voltara {

namespace {

template <size_t size>
void copyText(char (&to)[size], const char* from)
{
    std::snprintf(to, size, "%s", from);
}

} // namespace

bool RackEditor::promptForContentFolder(char* path)
{
    FileSelectRecord request{};
    request.command = FileSelectRecord::chooseFolder;
    request.typeCount = 1; // but no list: any folder will do
    copyText(request.title, "Please locate the AW Voltara Edition content folder");
    request.returnPath = path;
    const bool chosen = rack_.openFileSelector(&request);
    if (!chosen)
        path[0] = '\0';
    path[FileSelectRecord::pathSize - 1] = '\0';
    return chosen;
}

void RackEditor::runBankDialog()
{
    char capability[] = "openFileSelector";
    if (!rack_.askHostCapability(capability))
        return;
    FileTypeRecord bankType{};
    copyText(bankType.name, "AW Effects Bank");
    copyText(bankType.typeCode, ".FXB");
    copyText(bankType.extension, "fxb");
    copyText(bankType.secondExtension, "fxb");
    copyText(bankType.mimeType, "application/octet-stream");
    copyText(bankType.secondMimeType, "application/x-fxb");

    char chosen[FileSelectRecord::pathSize] = "";
    char initial[FileSelectRecord::pathSize] = "";
    copyText(initial, rack_.lastBankPath());
    FileSelectRecord request{};
    request.command = FileSelectRecord::chooseFile;
    copyText(request.title, "Load AW Voltara Edition FX Bank");
    request.typeCount = 1;
    request.types = &bankType;
    request.initialPath = initial;
    request.returnPath = chosen;
    if (!rack_.openFileSelector(&request))
        return;
    chosen[sizeof chosen - 1] = '\0';
    rack_.loadBankFile(chosen); // the editor follows the programs it sets
}

} // namespace voltara
