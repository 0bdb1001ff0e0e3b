// The application object: builds the main dialog and runs it modally.
#pragma once

#include "model/FieldModel.h"
#include "platform/WinApp.h"

class CDexlinApp : public platform::CWinApp {
public:
    CDexlinApp();
    ~CDexlinApp() override;

    platform::BOOL InitInstance() override;

    // The field model of the variation readout, chosen before InitInstance;
    // the built-in 1995.0 reference field, with the program's own day count
    // and title, unless chosen. A built-in model is used as it is, any other
    // is copied.
    void UseFieldModel(const model::FieldModel& fieldModel);
    const model::FieldModel& GetFieldModel() const {
        return m_pFieldModel != nullptr ? *m_pFieldModel : model::ReferenceField1995();
    }

protected:
    std::span<const platform::AppCommandEntry> GetCommandMap() const override;

private:
    static const platform::AppCommandEntry kCommandMap[];
    const model::FieldModel* m_pFieldModel;  // nullptr until a model is chosen
    model::FieldModel m_readModel;           // a model read from a file
};
