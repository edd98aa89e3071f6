"""Drives the program from outside through AT-SPI, as a screen reader meets it: registers the
department, opens a list, searches, and opens the member dialog, checking on the way that the
count line, the "Nincs találat" label and the event box expose what they show."""
import os
import sys
import time

import dbus

ACC = 'org.a11y.atspi.Accessible'
PROPS = 'org.freedesktop.DBus.Properties'
LABELLED_BY = 2

session = dbus.SessionBus()
address = session.get_object('org.a11y.Bus', '/org/a11y/bus').GetAddress(
    dbus_interface='org.a11y.Bus')
bus = dbus.bus.BusConnection(address)


class Node:
    def __init__(self, name, path):
        self.ref = (str(name), str(path))
        self.obj = bus.get_object(self.ref[0], self.ref[1], introspect=False)

    def name(self):
        return str(self.obj.Get(ACC, 'Name', dbus_interface=PROPS))

    def role(self):
        return str(self.obj.GetRoleName(dbus_interface=ACC))

    def children(self):
        return [Node(n, p) for (n, p) in self.obj.GetChildren(dbus_interface=ACC)]

    def labelled_by(self):
        return [Node(n, p).name() for (kind, targets) in self.obj.GetRelationSet(dbus_interface=ACC)
                if kind == LABELLED_BY for (n, p) in targets]

    def set_text(self, text):
        self.obj.SetTextContents(text, dbus_interface='org.a11y.atspi.EditableText')

    def press(self):
        # A button that opens a modal window answers only when the window closes: no waiting.
        self.obj.DoAction(0, dbus_interface='org.a11y.atspi.Action', ignore_reply=True)


TIMEOUT_FACTOR = float(os.environ.get('WALK_TIMEOUT_FACTOR', '1'))

def program():
    root = Node('org.a11y.atspi.Registry', '/org/a11y/atspi/accessible/root')
    for app in root.children():
        if app.name() == 'Várólista Jelentő program':
            return app
    return None


def all_nodes(node, depth=0):
    yield node
    if depth < 14 and node.role() not in ('table', 'list'):
        for child in node.children():
            yield from all_nodes(child, depth + 1)


def find(role, name=None, starts=None, timeout=15):
    # A slower build (the memory checkers) starts and answers several times slower.
    end = time.time() + timeout * TIMEOUT_FACTOR
    while time.time() < end:
        app = program()
        if app:
            for node in all_nodes(app):
                try:
                    if node.role() != role:
                        continue
                    shown = node.name()
                except dbus.DBusException:
                    continue
                if (name is None or shown == name) and (starts is None or shown.startswith(starts)):
                    return node
        time.sleep(0.3)
    sys.exit('not found: %s %r %r' % (role, name, starts))


def check(condition, what):
    if not condition:
        sys.exit('FAIL: ' + what)
    print('ok: ' + what)


def main():
    find('dialog', 'Az Intézet és az Osztály megadása')
    for label, text in (('Az Intézet 4 jegyű DORV kódja *:', '1234'),
                        ('Az Osztály 9 jegyű DORV finanszírozási kódja *:', '123456789'),
                        ('Az Osztály megnevezése:', 'Belgyógyászat'),
                        ('Belépési jelszó *:', 'titok'), ('még egyszer *:', 'titok')):
        find('text', label).set_text(text)
    find('radio button', 'Fekvőbeteg').press()
    find('push button', 'OK').press()

    find('push button', 'Várólisták Kezelése').press()
    find('dialog', 'Lista Választása')
    find('push button', 'OK').press()

    count = find('label', starts='Lista: ')
    check('Látható:' in count.name(), 'the count line reads its text: ' + count.name())
    find('text', 'Keresés név vagy TAJ szám szerint').set_text('zzzz')
    find('label', 'Nincs találat')
    check('szűrve' in find('label', starts='Lista: ').name(), 'the count line says it filters')
    find('text', 'Keresés név vagy TAJ szám szerint').set_text('')

    find('push button', 'Új Listatag hozzáadása').press()
    box = find('combo box', 'Várakozás')
    check('Esemény neve:' in box.labelled_by(),
          'the event box is named by its item and labelled by its label')
    find('push button', 'Mégsem').press()
    print('PASS')


main()
