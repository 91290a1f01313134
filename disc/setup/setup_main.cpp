// The disc's sample installer: copies the sample product into its folder, records the folder in
// the registry for the launcher, and says what it did in a small window.

#include <windows.h>

#include <string>

#include "disc/common/sample_log.h"
#include "disc/setup/notice_window.h"
#include "disc/setup/product_installer.h"

namespace {

constexpr UINT kNoticeMs = 8000;
// Under test the report must not hold things up.
constexpr UINT kNoticeMsWhenLogged = 1500;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    AppendSampleLog("setup");

    InstallOutcome outcome = InstallProduct(ProgramFolder(), ChooseInstallFolder());
    std::string text;
    if (outcome.ok) {
        text = "Velmora has been installed in\r\n" + outcome.folder +
               "\r\n\r\nStart it from the disc menu with RUN.";
    } else {
        text = "Velmora could not be installed: " + outcome.failedStep + " (error " +
               std::to_string(outcome.error) + ").";
    }
    ShowNotice(instance, "Velmora Setup", text.c_str(),
               SampleLogRequested() ? kNoticeMsWhenLogged : kNoticeMs);
    return outcome.ok ? 0 : 1;
}
