// What the device-file reader and writer both measure.
#include "deviceFile.h"

size_t DeviceFile_characters(const char* text)
{
    size_t n = 0;
    for (; *text != '\0'; ++text) {
        n += (static_cast<unsigned char>(*text) & 0xC0) != 0x80 ? 1 : 0;
    }
    return n;
}

void DeviceFile_cutCharacters(char* text, size_t max)
{
    size_t n = 0;
    for (char* c = text; *c != '\0'; ++c) {
        if ((static_cast<unsigned char>(*c) & 0xC0) != 0x80 && n++ == max) {
            *c = '\0';
            return;
        }
    }
}
