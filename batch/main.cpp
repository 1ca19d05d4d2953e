#include <cstring>
#include <iostream>

// The headless runner. Scripts of menu commands arrive with the command map; until then it
// only introduces itself.
int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::cout << "Tombra " << TOMBRA_VERSION << "\n"
                  << "使い方: tombra-batch SCRIPT.json [--seed N] [--pdf-dir DIR]\n";
        return 0;
    }
    std::cerr << "スクリプトの実行はまだできません\n";
    return 2;
}
