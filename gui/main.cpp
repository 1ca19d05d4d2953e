#include <iostream>

int main() {
    std::cerr << "ウィンドウは準備中です\n";
    return 1;
}
