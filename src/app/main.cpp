#include "GlowdeckApp.h"

int main(int argc, char** argv) {
    return GlowdeckApp::main(argc, argv);
}
