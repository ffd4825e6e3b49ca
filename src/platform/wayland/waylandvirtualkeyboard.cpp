#include "waylandvirtualkeyboard.h"

#include <chrono>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <wayland-client.h>

#include "pastekeysequence.h"
#include "platform/logger.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "waylandconnection.h"
#include "waylandkeymap.h"

namespace {

// The keymap goes to the compositor as a file it maps: a sealed memfd.
int keymapFile(const QByteArray &text)
{
    const int fd = memfd_create("bramblet-keymap", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0)
        return -1;
    qsizetype written = 0;
    while (written < text.size()) {
        const ssize_t n = write(fd, text.constData() + written, size_t(text.size() - written));
        if (n <= 0) {
            close(fd);
            return -1;
        }
        written += n;
    }
    fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL);
    return fd;
}

uint32_t nowMs()
{
    return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count());
}

} // namespace

struct WaylandVirtualKeyboard::Impl
{
    std::shared_ptr<WaylandConnection> connection;
    WaylandKeymap keymap;
    zwp_virtual_keyboard_manager_v1 *manager = nullptr;
    zwp_virtual_keyboard_v1 *keyboard = nullptr;
};

bool WaylandVirtualKeyboard::isOffered(const WaylandConnection &connection)
{
    return connection.offers(QStringLiteral("zwp_virtual_keyboard_manager_v1"));
}

std::unique_ptr<WaylandVirtualKeyboard> WaylandVirtualKeyboard::create(std::shared_ptr<WaylandConnection> connection)
{
    if (!connection || !isOffered(*connection))
        return nullptr;
    std::optional<WaylandKeymap> keymap = WaylandKeymap::compileUs();
    if (!keymap) {
        Log::error(QStringLiteral("Paste: cannot compile a keyboard layout (xkbcommon), no virtual keyboard"));
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->connection = connection;
    impl->keymap = *keymap;
    Impl *raw = impl.get();
    bool ready = false;
    connection->runSync([&] {
        if (!connection->seat())
            return;
        raw->manager = static_cast<zwp_virtual_keyboard_manager_v1 *>(
            connection->bind(&zwp_virtual_keyboard_manager_v1_interface, 1));
        if (!raw->manager)
            return;
        const int fd = keymapFile(raw->keymap.text());
        if (fd < 0)
            return;
        raw->keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(raw->manager, connection->seat());
        zwp_virtual_keyboard_v1_keymap(raw->keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                       uint32_t(raw->keymap.text().size()));
        close(fd);
        // A compositor that refuses us ends the connection here, not later
        // in the middle of a paste.
        ready = wl_display_roundtrip(connection->display()) >= 0;
    });
    if (!ready)
        return nullptr;
    return std::unique_ptr<WaylandVirtualKeyboard>(new WaylandVirtualKeyboard(std::move(impl)));
}

WaylandVirtualKeyboard::WaylandVirtualKeyboard(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

WaylandVirtualKeyboard::~WaylandVirtualKeyboard()
{
    Impl *impl = m_impl.get();
    impl->connection->runSync([impl] {
        if (impl->keyboard)
            zwp_virtual_keyboard_v1_destroy(impl->keyboard);
        // The manager has no destructor request in version 1.
        if (impl->manager)
            wl_proxy_destroy(reinterpret_cast<wl_proxy *>(impl->manager));
        impl->keyboard = nullptr;
        impl->manager = nullptr;
    });
}

bool WaylandVirtualKeyboard::isTrusted() const
{
    return m_impl->keyboard != nullptr;
}

void WaylandVirtualKeyboard::promptForTrust()
{
    Log::info(QStringLiteral("Paste: the compositor has no permission prompt for its virtual keyboard"));
}

void WaylandVirtualKeyboard::sendPasteChord(PasteChord chord)
{
    if (!isTrusted())
        return;
    const QList<PasteKeySequence::Step> steps =
        PasteKeySequence::forChord(chord, m_impl->keymap.ctrlMask(), m_impl->keymap.shiftMask());
    Impl *impl = m_impl.get();
    impl->connection->post([impl, steps] {
        const uint32_t time = nowMs();
        for (const PasteKeySequence::Step &step : steps) {
            if (step.kind == PasteKeySequence::Step::Kind::Key)
                zwp_virtual_keyboard_v1_key(impl->keyboard, time, step.key,
                                            step.pressed ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
            else
                zwp_virtual_keyboard_v1_modifiers(impl->keyboard, step.depressed, 0, 0, 0);
        }
    });
}
