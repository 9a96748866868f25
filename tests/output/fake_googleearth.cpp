// Stands in for Google Earth in the tests: writes the arguments it was
// started with, one a line, to the file that VOK_FAKE_GOOGLEEARTH_RECORD
// names. The file appears under that name only once it is complete.
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char *argv[])
{
    const char *record = std::getenv("VOK_FAKE_GOOGLEEARTH_RECORD");
    if (!record)
        return 2;
    const std::string part = std::string(record) + ".part";
    std::FILE *file = std::fopen(part.c_str(), "w");
    if (!file)
        return 1;
    for (int i = 1; i < argc; ++i)
        std::fprintf(file, "%s\n", argv[i]);
    std::fclose(file);
    return std::rename(part.c_str(), record) == 0 ? 0 : 1;
}
