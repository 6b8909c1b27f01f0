#include "app/startup.h"

#include "app/launcher.h"
#include "app/single_instance.h"
#include "win/application.h"
#include "win/locale.h"

namespace quaff::app {

TfrmLaunch* StartProgram() {
    auto& app = win::Application::Instance();
    app.SetShowMainForm(false);
    app.SetTitle("Quaffometer");
    app.Initialize();
    win::UserFormats();  // the locale's formats, read once at start-up

    const UINT showRequest = SingleInstance::ShowRequestMessage();
    app.SetMessageHook([showRequest](UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (msg != showRequest) return false;
        if (frmLaunch) frmLaunch->stuff1Click(frmLaunch);
        result = 0;
        return true;
    });

    frmLaunch = win::CreateMainForm<TfrmLaunch>(nullptr);
    return frmLaunch;
}

}  // namespace quaff::app
