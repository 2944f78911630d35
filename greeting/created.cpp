#include <array>
#include <cstdint>

#include "form/main_form.h"
#include "greeting/greeting.h"
#include "runtime/operations.h"
#include "runtime/window_api.h"

namespace greeting {
namespace {

constexpr const char* kTitle = "Vaneli温馨提示：";
constexpr std::array<const char*, 7> kGreetings = {
    "请耐心点点哈  呵呵",
    "作为朋友，我总希望把最好的给你们",
    "愿你快乐平安幸福",
    "忘了告诉你：我还要你幸福啊...呵呵...到了到了",
    "现在把眼睛睁大了哦，马上就到了",
    "呵呵...要有耐心啊，怎么又急了？在坚持一下就到了，乖！",
    "我说到了吧，\r\nYorvane祝你们开开心心",
};

}  // namespace

void 主窗口_创建完毕() {
    using namespace form;
    using namespace runtime::windowApi;
    for (const char* text : kGreetings) runtime::messageBox(text, 0, kTitle);

    runtime::setRandomSeed();

    int32_t e = runtime::callSystem<GetWindowLongA>("GetWindowLongA", 主窗口.handle(), GWL_EXSTYLE);
    e = e | WS_EX_LAYERED;
    runtime::callSystem<SetWindowLongA>("SetWindowLongA", 主窗口.handle(), GWL_EXSTYLE, e);
    runtime::callSystem<SetLayeredWindowAttributes>("SetLayeredWindowAttributes", 主窗口.handle(),
                                                    kColourKey, uint8_t{255}, LWA_COLORKEY);

    时钟1.setPeriod(1);
    时钟2.setPeriod(1);
}

}  // namespace greeting
