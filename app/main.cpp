// The program: its one application object and the framework's start-up.
#include "app/DexlinApp.h"
#include "platform/AppMain.h"
#include "resources/DexlinResources.h"

CDexlinApp theApp;

int main(int argc, char** argv) { return platform::AfxWinMain(argc, argv, DexlinResources()); }
