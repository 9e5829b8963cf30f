<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
</context>
<context>
    <name>AboutPanel</name>
    <message>
        <source>Toggle your Litras!</source>
        <translation>Schalte deine Litras!</translation>
    </message>
    <message>
        <source>Glowdeck is built on the litra command-line tool.</source>
        <translation>Glowdeck baut auf dem Kommandozeilenprogramm litra auf.</translation>
    </message>
</context>
<context>
    <name>AppState</name>
    <message>
        <source>is not in the format Glowdeck writes</source>
        <translation>hat nicht das Format, das Glowdeck schreibt</translation>
    </message>
    <message>
        <source>or its folder cannot be written</source>
        <translation>oder ihr Ordner ist nicht beschreibbar</translation>
    </message>
    <message>
        <source>Not saved: the settings file %1 %2. The choice holds until Glowdeck quits.</source>
        <translation>Nicht gespeichert: Die Einstellungsdatei %1 %2. Die Wahl gilt, bis Glowdeck beendet wird.</translation>
    </message>
</context>
<context>
    <name>CameraWatcher</name>
    <message>
        <source>Cannot watch %1</source>
        <translation>%1 kann nicht überwacht werden</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Shows and switches USB desk lights from the system tray.

With no verb, starts the tray application. With one, acts and exits; through the running
Glowdeck when there is one, else by running litra itself:
  toggle                 switch the lights off if any is on, else on
  on, off                switch the lights on, or off
  brightness PERCENT     set the brightness, 1 to 100
  temperature KELVIN     set the colour temperature, a multiple of 100
  refresh                query the lights again
  preferences            open the Preferences window (starts Glowdeck when it is not running)
  status                 print the status and the number of lights on one line
  status --json          print the status, the count and each light as JSON
toggle, on, off, brightness and temperature take --light SERIAL.

Exit status: 0 done; 1 litra failed (its reason on standard error); 2 bad arguments.</source>
        <translation>Zeigt und schaltet USB-Schreibtischleuchten aus der Systemleiste.

Ohne Befehl startet es die Anwendung in der Systemleiste. Mit einem Befehl handelt es und endet;
über das laufende Glowdeck, wenn eines läuft, sonst durch eigenen Aufruf von litra:
  toggle                 Leuchten ausschalten, wenn eine an ist, sonst einschalten
  on, off                Leuchten einschalten oder ausschalten
  brightness PROZENT     Helligkeit setzen, 1 bis 100
  temperature KELVIN     Farbtemperatur setzen, ein Vielfaches von 100
  refresh                Leuchten erneut abfragen
  preferences            Einstellungen öffnen (startet Glowdeck, wenn es nicht läuft)
  status                 Status und Anzahl der Leuchten in einer Zeile ausgeben
  status --json          Status, Anzahl und jede Leuchte als JSON ausgeben
toggle, on, off, brightness und temperature nehmen --light SERIENNUMMER.

Rückgabewert: 0 erledigt; 1 litra ist fehlgeschlagen (der Grund in der Standardfehlerausgabe);
2 ungültige Argumente.</translation>
    </message>
    <message>
        <source>Act on the light with this serial number only.</source>
        <translation>Nur die Leuchte mit dieser Seriennummer schalten.</translation>
    </message>
    <message>
        <source>SERIAL</source>
        <translation>SERIENNUMMER</translation>
    </message>
    <message>
        <source>With status: print JSON.</source>
        <translation>Mit status: JSON ausgeben.</translation>
    </message>
    <message>
        <source>Displays this help.</source>
        <translation>Zeigt diese Hilfe an.</translation>
    </message>
    <message>
        <source>verb</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <source>what to do (see above)</source>
        <translation>was zu tun ist (siehe oben)</translation>
    </message>
    <message>
        <source>[verb [value]]</source>
        <translation>[Befehl [Wert]]</translation>
    </message>
    <message>
        <source>%1 needs %2</source>
        <translation>%1 braucht %2</translation>
    </message>
    <message>
        <source>%1 takes %2, not %3</source>
        <translation>%1 nimmt %2, nicht %3</translation>
    </message>
    <message>
        <source>%1 does not take --light</source>
        <translation>%1 nimmt kein --light</translation>
    </message>
    <message>
        <source>--light is given more than once</source>
        <translation>--light ist mehr als einmal angegeben</translation>
    </message>
    <message>
        <source>--light needs a serial number, got an empty one</source>
        <translation>--light braucht eine Seriennummer, erhielt aber eine leere</translation>
    </message>
    <message>
        <source>unknown verb %1; see glowdeck --help</source>
        <translation>unbekannter Befehl %1; siehe glowdeck --help</translation>
    </message>
    <message>
        <source>unexpected argument %1 after %2</source>
        <translation>unerwartetes Argument %1 nach %2</translation>
    </message>
    <message>
        <source>--json goes with status only</source>
        <translation>--json geht nur mit status</translation>
    </message>
    <message>
        <source>%1 See glowdeck --help.</source>
        <translation>%1 Siehe glowdeck --help.</translation>
    </message>
    <message>
        <source>--light and --json go with a verb; see glowdeck --help</source>
        <translation>--light und --json gehen nur mit einem Befehl; siehe glowdeck --help</translation>
    </message>
</context>
<context>
    <name>DesktopNotifier</name>
    <message>
        <source>Open Preferences</source>
        <translation>Einstellungen öffnen</translation>
    </message>
</context>
<context>
    <name>Errors</name>
    <message>
        <source>litra exited %1: %2</source>
        <translation>litra endete mit Status %1: %2</translation>
    </message>
    <message>
        <source>Failed to parse litra output: %1</source>
        <translation>Die Ausgabe von litra ist unverständlich: %1</translation>
    </message>
    <message>
        <source>Failed to parse litra output</source>
        <translation>Die Ausgabe von litra ist unverständlich</translation>
    </message>
    <message>
        <source>litra was killed by %1</source>
        <translation>litra wurde durch %1 beendet</translation>
    </message>
    <message>
        <source>No litra tool chosen yet</source>
        <translation>Noch kein litra-Programm gewählt</translation>
    </message>
    <message>
        <source>Bundled litra binary missing</source>
        <translation>Mitgeliefertes litra-Programm fehlt</translation>
    </message>
    <message>
        <source>Could not start %1: %2</source>
        <translation>%1 konnte nicht gestartet werden: %2</translation>
    </message>
    <message>
        <source>Could not read from litra: %1</source>
        <translation>Von litra konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>litra run abandoned</source>
        <translation>litra-Aufruf abgebrochen</translation>
    </message>
    <message>
        <source>litra did not finish within %1 seconds and was stopped</source>
        <translation>litra wurde nicht innerhalb von %1 Sekunden fertig und wurde angehalten</translation>
    </message>
    <message>
        <source>litra wrote more than %1 MiB of output and was stopped</source>
        <translation>litra gab mehr als %1 MiB aus und wurde angehalten</translation>
    </message>
    <message>
        <source>device state unknown</source>
        <translation>Gerätezustand unbekannt</translation>
    </message>
    <message>
        <source>The litra tool chosen in Preferences, %1, is not an absolute path</source>
        <translation>Das in den Einstellungen gewählte litra-Programm, %1, ist kein absoluter Pfad</translation>
    </message>
    <message>
        <source>Cannot use %1 as the litra tool: %2</source>
        <translation>%1 kann nicht als litra-Programm verwendet werden: %2</translation>
    </message>
    <message>
        <source>the path is not absolute</source>
        <translation>der Pfad ist nicht absolut</translation>
    </message>
    <message>
        <source>there is no such file</source>
        <translation>diese Datei gibt es nicht</translation>
    </message>
    <message>
        <source>it is not a file</source>
        <translation>es ist keine Datei</translation>
    </message>
    <message>
        <source>it is not executable</source>
        <translation>es ist nicht ausführbar</translation>
    </message>
    <message>
        <source>serial number %1 begins with &quot;-&quot;</source>
        <translation>Seriennummer %1 beginnt mit &quot;-&quot;</translation>
    </message>
    <message>
        <source>serial number %1 holds a control character</source>
        <translation>Seriennummer %1 enthält ein Steuerzeichen</translation>
    </message>
    <message>
        <source>no light with serial number %1</source>
        <translation>keine Leuchte mit der Seriennummer %1</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Unbekannter Fehler</translation>
    </message>
    <message>
        <source>Glowdeck is still starting</source>
        <translation>Glowdeck startet noch</translation>
    </message>
    <message>
        <source>Too many light commands are waiting (%1); this one was not run</source>
        <translation>Zu viele Befehle an die Leuchten warten (%1); dieser wurde nicht ausgeführt</translation>
    </message>
</context>
<context>
    <name>LoginItemService</name>
    <message>
        <source>its path is not valid UTF-8, which autostart entries require</source>
        <translation>sein Pfad ist kein gültiges UTF-8, das Autostart-Einträge verlangen</translation>
    </message>
    <message>
        <source>its path contains a control character, which autostart entries cannot hold</source>
        <translation>sein Pfad enthält ein Steuerzeichen, das Autostart-Einträge nicht aufnehmen können</translation>
    </message>
    <message>
        <source>its path contains &quot;%&quot;, which GLib-based sessions refuse to start</source>
        <translation>sein Pfad enthält „%“, weshalb GLib-basierte Sitzungen es nicht starten</translation>
    </message>
    <message>
        <source>Could not write an autostart entry for %1: %2.</source>
        <translation>Für %1 konnte kein Autostart-Eintrag geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>Could not create the autostart folder %1: %2</source>
        <translation>Der Autostart-Ordner %1 konnte nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>Could not write the autostart entry %1: %2</source>
        <translation>Der Autostart-Eintrag %1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Could not remove the autostart entry %1: %2</source>
        <translation>Der Autostart-Eintrag %1 konnte nicht entfernt werden: %2</translation>
    </message>
</context>
<context>
    <name>PanelStatus</name>
    <message>
        <source>on</source>
        <translation>an</translation>
    </message>
    <message>
        <source>off</source>
        <translation>aus</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Leuchte</translation>
    </message>
</context>
<context>
    <name>PreferencesView</name>
    <message>
        <source>%1%</source>
        <translation>%1&#xa0;%</translation>
    </message>
    <message>
        <source>%1K</source>
        <translation>%1&#xa0;K</translation>
    </message>
    <message>
        <source>%1s</source>
        <translation>%1&#xa0;s</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Hell</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Dunkel</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>Automatisch</translation>
    </message>
    <message>
        <source>The lights cannot be asked: the litra tool failed (see Status).</source>
        <translation>Die Leuchten können nicht abgefragt werden: Das litra-Programm ist fehlgeschlagen (siehe Status).</translation>
    </message>
    <message>
        <source>No Litra devices connected.</source>
        <translation>Keine Litra-Geräte verbunden.</translation>
    </message>
    <message>
        <source>Glowdeck&apos;s udev rule %1 gives you access.</source>
        <translation>Glowdecks udev-Regel %1 gibt dir Zugriff.</translation>
    </message>
    <message>
        <source> Copy it to /etc/udev/rules.d and load it:</source>
        <translation> Kopiere sie nach /etc/udev/rules.d und lade sie:</translation>
    </message>
    <message>
        <source> Load it:</source>
        <translation> Lade sie:</translation>
    </message>
    <message>
        <source>Glowdeck came without a litra tool. Choose the one you installed, such as ~/.local/bin/litra.</source>
        <translation>Glowdeck kam ohne litra-Programm. Wähle das, das du installiert hast, etwa ~/.local/bin/litra.</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>Devices</source>
        <translation>Geräte</translation>
    </message>
    <message>
        <source>Simulated lights</source>
        <translation>Simulierte Leuchten</translation>
    </message>
    <message>
        <source>Lights</source>
        <translation>Leuchten</translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation>Helligkeit</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Farbtemperatur</translation>
    </message>
    <message>
        <source>Apply to</source>
        <translation>Anwenden auf</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Launch at login</source>
        <translation>Bei der Anmeldung starten</translation>
    </message>
    <message>
        <source>Notify me when the lights need me</source>
        <translation>Benachrichtigen, wenn die Leuchten mich brauchen</translation>
    </message>
    <message>
        <source>No litra tool, one that cannot start, no permission for a light, or a light that keeps failing</source>
        <translation>Kein litra-Programm, eines, das nicht startet, keine Berechtigung für eine Leuchte oder eine Leuchte, die immer wieder ausfällt</translation>
    </message>
    <message>
        <source>Tray icon</source>
        <translation>Symbol in der Leiste</translation>
    </message>
    <message>
        <source>Light suits a dark panel and Dark a light one, where Automatic cannot tell.</source>
        <translation>Hell passt zu einer dunklen Leiste, Dunkel zu einer hellen, wo Automatisch es nicht erkennt.</translation>
    </message>
    <message>
        <source>Turn lights on while a camera is in use</source>
        <translation>Leuchten einschalten, solange eine Kamera benutzt wird</translation>
    </message>
    <message>
        <source>Status Polling</source>
        <translation>Statusabfrage</translation>
    </message>
    <message>
        <source>Refresh every</source>
        <translation>Aktualisieren alle</translation>
    </message>
    <message>
        <source>How often Glowdeck checks the current state of your lights.</source>
        <translation>Wie oft Glowdeck den aktuellen Zustand deiner Leuchten prüft.</translation>
    </message>
    <message>
        <source>litra tool</source>
        <translation>litra-Programm</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keines</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Auswählen…</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Use the litra tool that came with Glowdeck</source>
        <translation>Das mit Glowdeck gelieferte litra-Programm verwenden</translation>
    </message>
    <message>
        <source>Choose the litra tool</source>
        <translation>litra-Programm auswählen</translation>
    </message>
    <message>
        <source>litra --version printed nothing</source>
        <translation>litra --version hat nichts ausgegeben</translation>
    </message>
    <message>
        <source>All lights</source>
        <translation>Alle Leuchten</translation>
    </message>
</context>
<context>
    <name>PreferencesWindowController</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
</context>
<context>
    <name>QComboBox</name>
    <message>
        <source>Open the combo box selection popup</source>
        <translation>Die Auswahlliste des Kombinationsfelds öffnen</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>inotify is unavailable</source>
        <translation>inotify ist nicht verfügbar</translation>
    </message>
    <message>
        <source>Cannot watch %1</source>
        <translation>%1 kann nicht überwacht werden</translation>
    </message>
</context>
<context>
    <name>SessionService</name>
    <message>
        <source>Cannot make sure that only one Glowdeck runs in this session: %1.</source>
        <translation>Es lässt sich nicht sicherstellen, dass nur ein Glowdeck in dieser Sitzung läuft: %1.</translation>
    </message>
    <message>
        <source>there is no session bus (%1)</source>
        <translation>es gibt keinen Sitzungsbus (%1)</translation>
    </message>
    <message>
        <source>the object %1 is taken on the session bus</source>
        <translation>das Objekt %1 ist auf dem Sitzungsbus bereits vergeben</translation>
    </message>
    <message>
        <source>the session bus did not give the name %1 (%2)</source>
        <translation>der Sitzungsbus hat den Namen %1 nicht vergeben (%2)</translation>
    </message>
    <message>
        <source>no answer within %1 seconds</source>
        <translation>keine Antwort innerhalb von %1 Sekunden</translation>
    </message>
    <message>
        <source>Glowdeck is already running (process %1) but did not answer: %2</source>
        <translation>Glowdeck läuft bereits (Prozess %1), hat aber nicht geantwortet: %2</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unbekannt</translation>
    </message>
</context>
<context>
    <name>StatusMenu</name>
    <message>
        <source>Light %1</source>
        <translation>Leuchte %1</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über Glowdeck</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Toggle Lights</source>
        <translation>Leuchten umschalten</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message numerus="yes">
        <source>%n device(s) connected</source>
        <translation>
            <numerusform>%n Gerät verbunden</numerusform>
            <numerusform>%n Geräte verbunden</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>StatusPresentation</name>
    <message>
        <source>Camera in use</source>
        <translation>Kamera in Benutzung</translation>
    </message>
</context>
<context>
    <name>StatusWords</name>
    <message>
        <source>All lights: On</source>
        <translation>Alle Leuchten: An</translation>
    </message>
    <message>
        <source>All lights: Off</source>
        <translation>Alle Leuchten: Aus</translation>
    </message>
    <message>
        <source>Lights: Mixed</source>
        <translation>Leuchten: Teils an</translation>
    </message>
    <message>
        <source>No Litra devices found</source>
        <translation>Keine Litra-Geräte gefunden</translation>
    </message>
    <message>
        <source>A light is connected, but you do not have permission to use it.</source>
        <translation>Eine Leuchte ist angeschlossen, aber du hast keine Berechtigung, sie zu verwenden.</translation>
    </message>
    <message>
        <source>Choose it in Preferences, General: litra tool</source>
        <translation>Wähle es in den Einstellungen, Allgemein: litra-Programm</translation>
    </message>
    <message>
        <source>Reinstall Glowdeck, or choose a litra tool in Preferences</source>
        <translation>Installiere Glowdeck neu oder wähle ein litra-Programm in den Einstellungen</translation>
    </message>
    <message>
        <source>Make the tool executable, or choose another in Preferences</source>
        <translation>Mache das Programm ausführbar oder wähle ein anderes in den Einstellungen</translation>
    </message>
    <message>
        <source>Choose the litra tool again in Preferences</source>
        <translation>Wähle das litra-Programm in den Einstellungen erneut</translation>
    </message>
    <message>
        <source>Is it the litra tool? Choose the right one in Preferences</source>
        <translation>Ist es das litra-Programm? Wähle das richtige in den Einstellungen</translation>
    </message>
    <message>
        <source>Unplug the lights and plug them in again, then Refresh</source>
        <translation>Stecke die Leuchten aus und wieder ein, dann Aktualisieren</translation>
    </message>
    <message>
        <source>Choose Refresh; if it happens again, update litra</source>
        <translation>Wähle Aktualisieren; passiert es wieder, aktualisiere litra</translation>
    </message>
    <message>
        <source>Check that the lights are plugged in, then Refresh</source>
        <translation>Prüfe, ob die Leuchten eingesteckt sind, dann Aktualisieren</translation>
    </message>
    <message>
        <source>Choose Refresh to try again; details in Preferences</source>
        <translation>Wähle Aktualisieren für einen neuen Versuch; Einzelheiten in den Einstellungen</translation>
    </message>
    <message>
        <source>Error: %1</source>
        <translation>Fehler: %1</translation>
    </message>
    <message>
        <source>Load Glowdeck&apos;s udev rule, as Preferences (Status) shows</source>
        <translation>Lade Glowdecks udev-Regel, wie die Einstellungen (Status) zeigen</translation>
    </message>
    <message>
        <source>Plug a light in; Glowdeck sees it at once</source>
        <translation>Stecke eine Leuchte ein; Glowdeck erkennt sie sofort</translation>
    </message>
</context>
<context>
    <name>ValueRanges</name>
    <message>
        <source>a percentage from %1 to %2</source>
        <translation>einen Prozentwert von %1 bis %2</translation>
    </message>
    <message>
        <source>kelvin from %1 to %2 in steps of %3</source>
        <translation>Kelvin von %1 bis %2 in Schritten von %3</translation>
    </message>
</context>
<context>
    <name>Verbs</name>
    <message>
        <source>the running Glowdeck did not carry it out: %1</source>
        <translation>das laufende Glowdeck hat es nicht ausgeführt: %1</translation>
    </message>
</context>
<context>
    <name>WheelAdjuster</name>
    <message>
        <source>Temperature: %1 K</source>
        <translation>Farbtemperatur: %1 K</translation>
    </message>
    <message>
        <source>Brightness: %1 %</source>
        <translation>Helligkeit: %1 %</translation>
    </message>
</context>
</TS>
