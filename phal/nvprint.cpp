// nvprint [NAME]: lists the boot variables of the EEPROM, read only.
//
//   nvprint        every variable as name=value, one per line, in image order
//   nvprint NAME   the value of NAME as the store reads it (tokens of
//                  "qvt_param" included)
//
// Standard error says whether the image was valid, failed its checksum (and is
// then shown as the empty store it is taken for) or could not be read.
// Exit status: 0 valid, 1 checksum mismatch or variable absent, 2 unreadable
// (or a wrong command line).
#include "phal/NvData.h"
#include "phal/ZorlanNvInterface.h"

#include <stdio.h>
#include <string.h>

namespace {

const int kValueSize = 1024;

void printLine(const char* text)
{
    fwrite(text, 1, strlen(text), stdout);
    fputc('\n', stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2) {
        fprintf(stderr, "usage: nvprint [NAME]\n");
        return 2;
    }
    ZorlanNvInterface device;
    NvData store(&device);
    if (!store.isDataValid()) {
        fprintf(stderr, "nvprint: the image could not be read\n");
        return 2;
    }
    int status = 0;
    if (store.wasCrcMismatch()) {
        fprintf(stderr, "nvprint: checksum mismatch, the image is shown as empty\n");
        status = 1;
    } else {
        fprintf(stderr, "nvprint: image valid\n");
    }

    if (argc == 1) {
        for (int i = 0; const char* entry = store.getEntry(i); i++)
            printLine(entry);
        return status;
    }
    char value[kValueSize + 1];
    if (store.getNv(argv[1], value, kValueSize) <= 0)
        return 1;
    printLine(value);
    return status;
}
