// Stands in for the Google Earth program in the tests: records the arguments
// it was started with, one per line, and a copy of the file named by the
// first one, in the directory given by VOK_FAKE_GOOGLEEARTH_RECORD. A file
// "done" is written last, so a test waits for it.
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char *argv[])
{
    const char *record = std::getenv("VOK_FAKE_GOOGLEEARTH_RECORD");
    if (!record)
        return 2;
    const std::string directory(record);

    std::ofstream arguments(directory + "/arguments.txt", std::ios::binary);
    for (int i = 1; i < argc; ++i)
        arguments << argv[i] << '\n';
    arguments.close();

    if (argc > 1) {
        std::ifstream document(argv[1], std::ios::binary);
        std::ofstream copy(directory + "/document.kml", std::ios::binary);
        copy << document.rdbuf();
    }

    std::ofstream(directory + "/done") << "done\n";
    return 0;
}
