#include "X11Compositor.h"

#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <string>

// The probe against a real X server (a private Xvfb, see CMakeLists.txt):
// nobody composites there until this test claims the selection a
// compositing manager holds.
class TestX11Compositor : public QObject
{
    Q_OBJECT

private slots:
    void noDisplayIsNoCompositor();
    void followsTheSelectionOwner();
};

void TestX11Compositor::noDisplayIsNoCompositor()
{
    const QByteArray display = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":9999.0"); // no server there
    const bool active = X11Compositor::isActive();
    qputenv("DISPLAY", display);
    QVERIFY(!active);
}

void TestX11Compositor::followsTheSelectionOwner()
{
    if (qEnvironmentVariableIsEmpty("VESK_TEST_X11"))
        QSKIP("runs on its own X server only (VESK_TEST_X11)");

    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    QVERIFY(!xcb_connection_has_error(connection));
    QVERIFY2(!X11Compositor::isActive(), "a bare Xvfb has no compositor");

    const std::string name = "_NET_WM_CM_S" + std::to_string(screenNumber);
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(name.size()), name.c_str()), nullptr);
    QVERIFY(atom);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t owner = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, owner, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(connection, owner, atom->atom, XCB_CURRENT_TIME);
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr)); // round trip
    QVERIFY(X11Compositor::isActive());

    // The owner's window goes away with its connection, and the selection with it.
    std::free(atom);
    xcb_disconnect(connection);
    QTRY_VERIFY(!X11Compositor::isActive());
}

QTEST_GUILESS_MAIN(TestX11Compositor)
#include "tst_x11compositor.moc"
