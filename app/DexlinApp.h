// The application object: builds the main dialog and runs it modally.
#pragma once

#include "platform/WinApp.h"

class CDexlinApp : public platform::CWinApp {
public:
    CDexlinApp();
    ~CDexlinApp() override;

    platform::BOOL InitInstance() override;
};
