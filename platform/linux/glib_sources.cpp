#include "platform/linux/glib_sources.h"

#include <utility>

namespace platform::linux_x11 {
namespace {

struct WakeGSource {
    GSource base;
    std::function<void()>* onWake;
};

gboolean dispatchWake(GSource* source, GSourceFunc, gpointer) {
    g_source_set_ready_time(source, -1);   // one wake per request
    (*reinterpret_cast<WakeGSource*>(source)->onWake)();
    return G_SOURCE_CONTINUE;
}

GSourceFuncs wakeFuncs = {nullptr, nullptr, dispatchWake, nullptr, nullptr, nullptr};

struct XGSource {
    GSource base;
    GPollFD poll;
    std::function<bool()>* pending;
    std::function<void()>* dispatch;
};

gboolean prepareX(GSource* source, gint* timeout) {
    *timeout = -1;
    return (*reinterpret_cast<XGSource*>(source)->pending)();
}

gboolean checkX(GSource* source) {
    auto* x = reinterpret_cast<XGSource*>(source);
    return (x->poll.revents & (G_IO_IN | G_IO_HUP | G_IO_ERR)) || (*x->pending)();
}

gboolean dispatchX(GSource* source, GSourceFunc, gpointer) {
    (*reinterpret_cast<XGSource*>(source)->dispatch)();
    return G_SOURCE_CONTINUE;
}

GSourceFuncs xFuncs = {prepareX, checkX, dispatchX, nullptr, nullptr, nullptr};

}  // namespace

WakeSource::WakeSource(std::function<void()> onWake) : source_(g_source_new(&wakeFuncs, sizeof(WakeGSource))) {
    reinterpret_cast<WakeGSource*>(source_)->onWake = new std::function<void()>(std::move(onWake));
    g_source_set_can_recurse(source_, TRUE);
    g_source_set_ready_time(source_, -1);
    g_source_attach(source_, nullptr);
}

WakeSource::~WakeSource() {
    delete reinterpret_cast<WakeGSource*>(source_)->onWake;
    g_source_destroy(source_);
    g_source_unref(source_);
}

void WakeSource::wakeAt(int64_t monotonicUs) { g_source_set_ready_time(source_, monotonicUs); }

XEventSource::XEventSource(int fd, std::function<bool()> pending, std::function<void()> dispatch)
    : source_(g_source_new(&xFuncs, sizeof(XGSource))) {
    auto* x = reinterpret_cast<XGSource*>(source_);
    x->poll = {fd, G_IO_IN | G_IO_HUP | G_IO_ERR, 0};
    x->pending = new std::function<bool()>(std::move(pending));
    x->dispatch = new std::function<void()>(std::move(dispatch));
    g_source_add_poll(source_, &x->poll);
    g_source_set_can_recurse(source_, TRUE);
    g_source_attach(source_, nullptr);
}

XEventSource::~XEventSource() {
    auto* x = reinterpret_cast<XGSource*>(source_);
    delete x->pending;
    delete x->dispatch;
    g_source_destroy(source_);
    g_source_unref(source_);
}

}  // namespace platform::linux_x11
