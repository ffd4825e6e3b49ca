#include "x11selectionreader.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <optional>
#include <thread>
#include <unordered_map>
#include <vector>

#include <QHash>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

namespace {

using SteadyClock = std::chrono::steady_clock;

// Targets that name conversions, not content.
const QStringList kPseudoTargets = {QStringLiteral("TARGETS"), QStringLiteral("MULTIPLE"), QStringLiteral("TIMESTAMP"),
                                    QStringLiteral("SAVE_TARGETS"), QStringLiteral("DELETE"),
                                    QStringLiteral("INSERT_SELECTION"), QStringLiteral("INSERT_PROPERTY")};

xcb_atom_t internAtom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// One owner change, from its event to its offer.
struct Transfer
{
    enum class Stage { Targets, Data, Done };

    quint64 seq = 0;
    xcb_window_t owner = XCB_NONE;
    xcb_timestamp_t time = XCB_CURRENT_TIME;
    xcb_window_t window = XCB_NONE; // our requestor window while reading
    Stage stage = Stage::Targets;
    // The text read ahead, asked for together with the type list.
    enum class Ahead { None, Waiting, Have, Large, Failed };
    Ahead ahead = Ahead::None;
    xcb_window_t aheadWindow = XCB_NONE;
    QByteArray aheadBytes;
    bool needsAhead = false; // the type wanted now waits for the text's answer
    bool dropped = false;          // the type list could not be read
    QHash<QString, xcb_atom_t> atomOf;
    QStringList wanted;
    qsizetype next = 0;            // index in `wanted` being read
    bool incr = false;
    bool discarding = false; // the transfer in pieces under way is read and dropped
    uint8_t incrFormat = 8;
    QByteArray buffer;
    SteadyClock::time_point deadline;
    ClipboardOffer offer;

    QString currentType() const { return next < wanted.size() ? wanted.at(next) : QString(); }
};

} // namespace

struct X11SelectionReader::Impl
{
    Clipboard::TypeChooser choose;
    Deliver deliver;
    LogLine log;

    xcb_connection_t *c = nullptr;
    xcb_window_t root = XCB_NONE;
    xcb_window_t listener = XCB_NONE;
    uint8_t xfixesEvent = 0;
    xcb_atom_t clipboard = XCB_NONE;
    xcb_atom_t targets = XCB_NONE;
    xcb_atom_t incr = XCB_NONE;
    xcb_atom_t utf8 = XCB_NONE;
    xcb_atom_t property = XCB_NONE;
    QHash<xcb_atom_t, QString> atomNames;

    int wakeFd = -1;
    std::atomic<bool> stopping{false};
    std::thread thread;

    quint64 nextSeq = 0;
    std::deque<std::unique_ptr<Transfer>> queue; // in event order
    std::vector<xcb_window_t> freeWindows;
    std::unordered_map<xcb_window_t, Transfer *> byWindow;

    ~Impl()
    {
        if (thread.joinable()) {
            stopping = true;
            const uint64_t one = 1;
            [[maybe_unused]] const ssize_t n = ::write(wakeFd, &one, sizeof one);
            thread.join();
        }
        if (wakeFd >= 0)
            ::close(wakeFd);
        if (c)
            xcb_disconnect(c);
    }

    bool open()
    {
        int screenNumber = 0;
        c = xcb_connect(nullptr, &screenNumber);
        if (!c || xcb_connection_has_error(c)) {
            log(QStringLiteral("Watcher: no X display for clipboard change events"));
            return false;
        }
        const xcb_query_extension_reply_t *ext = xcb_get_extension_data(c, &xcb_xfixes_id);
        if (!ext || !ext->present) {
            log(QStringLiteral("Watcher: the X server has no XFixes, clipboard change events unavailable"));
            return false;
        }
        xfixesEvent = ext->first_event;
        std::free(xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 5, 0), nullptr));

        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
        for (int i = 0; i < screenNumber && it.rem; ++i)
            xcb_screen_next(&it);
        if (!it.rem)
            return false;
        root = it.data->root;

        clipboard = internAtom(c, "CLIPBOARD");
        targets = internAtom(c, "TARGETS");
        incr = internAtom(c, "INCR");
        utf8 = internAtom(c, "UTF8_STRING");
        property = internAtom(c, "BRAMBLET_SELECTION");
        listener = makeWindow();
        xcb_xfixes_select_selection_input(c, listener, clipboard,
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                                              | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                                              | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
        // A round trip: once start() returns, no owner change can be missed.
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        return wakeFd >= 0;
    }

    xcb_window_t makeWindow()
    {
        const xcb_window_t w = xcb_generate_id(c);
        const uint32_t values[] = {1, XCB_EVENT_MASK_PROPERTY_CHANGE};
        xcb_create_window(c, XCB_COPY_FROM_PARENT, w, root, -1, -1, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
        return w;
    }

    xcb_window_t takeWindow()
    {
        if (freeWindows.empty())
            return makeWindow();
        const xcb_window_t w = freeWindows.back();
        freeWindows.pop_back();
        return w;
    }

    void releaseWindow(xcb_window_t &window, bool reusable)
    {
        if (window == XCB_NONE)
            return;
        byWindow.erase(window);
        if (reusable)
            freeWindows.push_back(window);
        else
            xcb_destroy_window(c, window);
        window = XCB_NONE;
    }

    // ------------------------------------------------------------ the loop

    void run()
    {
        const int xfd = xcb_get_file_descriptor(c);
        while (!stopping) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
                handle(event);
                std::free(event);
                deliverReady();
            }
            if (xcb_connection_has_error(c)) {
                log(QStringLiteral("Watcher: X connection for clipboard events lost"));
                return;
            }
            expireStalled();
            deliverReady();
            xcb_flush(c);
            pollfd fds[2] = {{xfd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
            ::poll(fds, 2, pollTimeoutMs());
        }
    }

    int pollTimeoutMs() const
    {
        std::optional<SteadyClock::time_point> earliest;
        for (const auto &t : queue) {
            if (t->stage != Transfer::Stage::Done && (!earliest || t->deadline < *earliest))
                earliest = t->deadline;
        }
        if (!earliest)
            return -1;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*earliest - SteadyClock::now()).count();
        return int(std::clamp<long long>(left + 1, 0, kStallMs));
    }

    void handle(xcb_generic_event_t *event)
    {
        const uint8_t type = event->response_type & 0x7f;
        if (type == xfixesEvent + XCB_XFIXES_SELECTION_NOTIFY) {
            auto *e = reinterpret_cast<xcb_xfixes_selection_notify_event_t *>(event);
            if (e->selection == clipboard)
                ownerChanged(e->owner, e->selection_timestamp);
        } else if (type == XCB_SELECTION_NOTIFY) {
            auto *e = reinterpret_cast<xcb_selection_notify_event_t *>(event);
            if (Transfer *t = transferOf(e->requestor)) {
                if (e->requestor == t->aheadWindow)
                    aheadAnswered(*t, e->property);
                else
                    answered(*t, e->property);
            }
        } else if (type == XCB_PROPERTY_NOTIFY) {
            auto *e = reinterpret_cast<xcb_property_notify_event_t *>(event);
            Transfer *t = transferOf(e->window);
            if (t && t->incr && e->window == t->window && e->atom == property && e->state == XCB_PROPERTY_NEW_VALUE)
                incrChunk(*t);
        } else if (type == XCB_DESTROY_NOTIFY) {
            ownerDestroyed(reinterpret_cast<xcb_destroy_notify_event_t *>(event)->window);
        }
        // Errors (a window gone before we could watch it) need no action:
        // the transfer then fails or times out on its own.
    }

    Transfer *transferOf(xcb_window_t window)
    {
        const auto it = byWindow.find(window);
        return it == byWindow.end() ? nullptr : it->second;
    }

    void ownerChanged(xcb_window_t owner, xcb_timestamp_t time)
    {
        auto t = std::make_unique<Transfer>();
        t->seq = nextSeq++;
        t->owner = owner;
        t->time = time;
        if (owner == XCB_NONE) {
            t->stage = Transfer::Stage::Done; // the owner quit: an empty offer
        } else {
            // Learn when the owner quits, so its transfer ends without a timeout.
            const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
            xcb_change_window_attributes(c, owner, XCB_CW_EVENT_MASK, &mask);
            t->window = takeWindow();
            byWindow[t->window] = t.get();
            request(*t, targets);
            // The owner may lose the selection and quit soon: asking for the
            // text now, not after the type list, halves the round trips it
            // must answer in time.
            t->aheadWindow = takeWindow();
            byWindow[t->aheadWindow] = t.get();
            t->ahead = Transfer::Ahead::Waiting;
            xcb_convert_selection(c, t->aheadWindow, clipboard, utf8, property, t->time);
        }
        queue.push_back(std::move(t));
    }

    void request(Transfer &t, xcb_atom_t target)
    {
        t.incr = false;
        t.buffer.clear();
        t.deadline = SteadyClock::now() + std::chrono::milliseconds(kStallMs);
        xcb_convert_selection(c, t.window, clipboard, target, property, t.time);
    }

    void answered(Transfer &t, xcb_atom_t answerProperty)
    {
        if (answerProperty == XCB_NONE) {
            refused(t);
            return;
        }
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
            c, xcb_get_property(c, 1, t.window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, UINT32_MAX / 4), nullptr);
        if (!reply) {
            refused(t);
            return;
        }
        const int length = xcb_get_property_value_length(reply);
        if (reply->type == incr) {
            // Deleting the property (done by the read) starts the transfer.
            t.incr = true;
            if (length >= 4)
                t.buffer.reserve(qsizetype(*static_cast<const uint32_t *>(xcb_get_property_value(reply))));
            t.deadline = SteadyClock::now() + std::chrono::milliseconds(kStallMs);
            std::free(reply);
            return;
        }
        const QByteArray bytes(static_cast<const char *>(xcb_get_property_value(reply)), length);
        const uint8_t format = reply->format;
        std::free(reply);
        received(t, bytes, format);
    }

    void aheadAnswered(Transfer &t, xcb_atom_t answerProperty)
    {
        t.ahead = Transfer::Ahead::Failed;
        if (answerProperty != XCB_NONE) {
            // Not deleted yet: for a large text that would start the transfer.
            xcb_get_property_reply_t *reply = xcb_get_property_reply(
                c, xcb_get_property(c, 0, t.aheadWindow, property, XCB_GET_PROPERTY_TYPE_ANY, 0, UINT32_MAX / 4),
                nullptr);
            if (reply && reply->type == incr) {
                t.ahead = Transfer::Ahead::Large;
            } else if (reply && reply->type != XCB_ATOM_NONE) {
                t.aheadBytes = QByteArray(static_cast<const char *>(xcb_get_property_value(reply)),
                                          xcb_get_property_value_length(reply));
                t.ahead = Transfer::Ahead::Have;
                xcb_delete_property(c, t.aheadWindow, property);
            }
            std::free(reply);
        }
        if (t.needsAhead) {
            t.needsAhead = false;
            askCurrent(t);
        }
    }

    // The wanted type is UTF8_STRING: take it from the read ahead.
    void readText(Transfer &t)
    {
        switch (t.ahead) {
        case Transfer::Ahead::Waiting:
            t.needsAhead = true;
            return;
        case Transfer::Ahead::Have:
            t.offer.data.insert(t.currentType(), t.aheadBytes);
            t.aheadBytes = QByteArray();
            nextType(t);
            return;
        case Transfer::Ahead::Large:
            takeAheadTransfer(t, false);
            return;
        case Transfer::Ahead::None:
        case Transfer::Ahead::Failed:
            request(t, utf8);
            return;
        }
    }

    // Goes on with the transfer in pieces that answered the text asked for
    // ahead, on the window it was answered to; `discard`: its bytes are
    // dropped and the type wanted now is asked for after it (see askCurrent).
    void takeAheadTransfer(Transfer &t, bool discard)
    {
        releaseWindow(t.window, true);
        t.window = t.aheadWindow;
        t.aheadWindow = XCB_NONE;
        t.ahead = Transfer::Ahead::None;
        t.incr = true;
        t.discarding = discard;
        t.buffer.clear();
        t.deadline = SteadyClock::now() + std::chrono::milliseconds(kStallMs);
        xcb_delete_property(c, t.window, property); // starts the transfer
    }

    void incrChunk(Transfer &t)
    {
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
            c, xcb_get_property(c, 1, t.window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, UINT32_MAX / 4), nullptr);
        if (!reply)
            return;
        const int length = xcb_get_property_value_length(reply);
        if (length > 0 && !t.discarding) {
            t.incrFormat = reply->format;
            t.buffer.append(static_cast<const char *>(xcb_get_property_value(reply)), length);
        }
        std::free(reply);
        t.deadline = SteadyClock::now() + std::chrono::milliseconds(kStallMs);
        if (length == 0 && t.discarding) {
            t.discarding = false;
            askCurrent(t);
            return;
        }
        if (length == 0) {
            const QByteArray bytes = std::move(t.buffer);
            t.buffer = QByteArray();
            t.incr = false;
            received(t, bytes, t.incrFormat);
        }
    }

    void received(Transfer &t, const QByteArray &bytes, uint8_t format)
    {
        if (t.stage == Transfer::Stage::Targets) {
            if (format != 32) {
                drop(t, QStringLiteral("Watcher: clipboard owner sent a malformed type list, change skipped"), true);
                return;
            }
            const auto *atoms = reinterpret_cast<const xcb_atom_t *>(bytes.constData());
            QList<xcb_atom_t> list(atoms, atoms + bytes.size() / qsizetype(sizeof(xcb_atom_t)));
            typesOffered(t, list);
            return;
        }
        t.offer.data.insert(t.currentType(), bytes);
        nextType(t);
    }

    void refused(Transfer &t)
    {
        if (t.stage == Transfer::Stage::Targets) {
            drop(t, QStringLiteral("Watcher: clipboard owner gave no type list, change skipped"), true);
            return;
        }
        nextType(t); // that type is absent from the offer
    }

    void typesOffered(Transfer &t, const QList<xcb_atom_t> &atoms)
    {
        QList<xcb_atom_t> unknown;
        for (xcb_atom_t a : atoms) {
            if (a != XCB_ATOM_NONE && !atomNames.contains(a) && !unknown.contains(a))
                unknown.append(a);
        }
        std::vector<xcb_get_atom_name_cookie_t> cookies;
        for (xcb_atom_t a : unknown)
            cookies.push_back(xcb_get_atom_name(c, a));
        for (qsizetype i = 0; i < unknown.size(); ++i) {
            xcb_get_atom_name_reply_t *reply = xcb_get_atom_name_reply(c, cookies[size_t(i)], nullptr);
            atomNames.insert(unknown[i], reply ? QString::fromLatin1(xcb_get_atom_name_name(reply),
                                                                      xcb_get_atom_name_name_length(reply))
                                               : QString());
            std::free(reply);
        }
        QStringList formats;
        for (xcb_atom_t a : atoms) {
            QString name = atomNames.value(a);
            if (name == QLatin1String("STRING"))
                name = QStringLiteral("text/plain"); // Latin-1 text, the oldest text type
            if (name.isEmpty() || kPseudoTargets.contains(name) || t.atomOf.contains(name))
                continue;
            formats.append(name);
            t.atomOf.insert(name, a);
        }
        t.offer.formats = formats;
        const QStringList chosen = choose ? choose(formats) : QStringList();
        for (const QString &type : chosen) {
            if (t.atomOf.contains(type) && !t.wanted.contains(type))
                t.wanted.append(type);
        }
        t.stage = Transfer::Stage::Data;
        t.next = -1;
        nextType(t);
    }

    void nextType(Transfer &t)
    {
        ++t.next;
        if (t.next < t.wanted.size()) {
            askCurrent(t);
            return;
        }
        finish(t);
    }

    void askCurrent(Transfer &t)
    {
        const xcb_atom_t target = t.atomOf.value(t.currentType());
        if (target == utf8) {
            readText(t);
        } else if (t.ahead == Transfer::Ahead::Waiting) {
            t.needsAhead = true; // how the text was answered decides
        } else if (t.ahead == Transfer::Ahead::Large) {
            // Some owners serve one transfer in pieces at a time and answer
            // any type with their one content (xclip does: a large picture
            // copied with it answers the text request too), so the next type
            // would wait behind that transfer for ever: it is drained first.
            takeAheadTransfer(t, true);
        } else {
            request(t, target);
        }
    }

    // `clean`: the owner answered everything asked, so no late answer can
    // reach the window and it may serve the next transfer.
    void finish(Transfer &t, bool clean = true)
    {
        t.stage = Transfer::Stage::Done;
        releaseWindow(t.window, clean);
        // A text read ahead but not wanted: a large one's owner still waits
        // for us, so that window goes.
        const bool aheadClean = t.ahead == Transfer::Ahead::Have || t.ahead == Transfer::Ahead::Failed;
        releaseWindow(t.aheadWindow, clean && aheadClean);
        t.aheadBytes = QByteArray();
    }

    void drop(Transfer &t, const QString &why, bool clean)
    {
        log(why);
        t.dropped = true;
        finish(t, clean);
    }

    void ownerDestroyed(xcb_window_t window)
    {
        for (const auto &t : queue) {
            if (t->owner != window || t->stage == Transfer::Stage::Done)
                continue;
            if (t->stage == Transfer::Stage::Targets) {
                drop(*t, QStringLiteral("Watcher: clipboard owner quit before its content could be read"), false);
            } else {
                log(QStringLiteral("Watcher: clipboard owner quit while %1 was read, the rest of it is lost")
                        .arg(t->currentType()));
                finish(*t, false); // keeps the types read so far
            }
        }
    }

    void expireStalled()
    {
        const auto now = SteadyClock::now();
        for (const auto &t : queue) {
            if (t->stage == Transfer::Stage::Done || t->deadline > now)
                continue;
            if (t->stage == Transfer::Stage::Targets) {
                drop(*t, QStringLiteral("Watcher: clipboard owner did not answer within %1 ms, change skipped").arg(kStallMs),
                     false);
            } else {
                log(QStringLiteral("Watcher: clipboard owner stopped sending %1 for %2 ms, transfer given up")
                        .arg(t->currentType())
                        .arg(kStallMs));
                finish(*t, false);
            }
        }
    }

    // Hands over every finished change that no earlier one is still holding up.
    void deliverReady()
    {
        while (!queue.empty() && queue.front()->stage == Transfer::Stage::Done) {
            std::unique_ptr<Transfer> t = std::move(queue.front());
            queue.pop_front();
            if (!t->dropped)
                deliver(std::move(t->offer));
        }
    }
};

X11SelectionReader::X11SelectionReader(Clipboard::TypeChooser choose, Deliver deliver, LogLine log)
    : m(std::make_unique<Impl>())
{
    m->choose = std::move(choose);
    m->deliver = std::move(deliver);
    m->log = std::move(log);
}

X11SelectionReader::~X11SelectionReader() = default;

bool X11SelectionReader::start()
{
    if (m->thread.joinable() || !m->open())
        return false;
    m->thread = std::thread([impl = m.get()] { impl->run(); });
    return true;
}
