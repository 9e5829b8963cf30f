<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About %1</source>
        <translation>Acerca de %1</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Versión %1</translation>
    </message>
</context>
<context>
    <name>AboutPanel</name>
    <message>
        <source>Toggle your Litras!</source>
        <translation>¡Enciende tus Litra!</translation>
    </message>
    <message>
        <source>Glowdeck is built on the litra command-line tool.</source>
        <translation>Glowdeck se basa en la herramienta de línea de órdenes litra.</translation>
    </message>
</context>
<context>
    <name>AppState</name>
    <message>
        <source>is not in the format Glowdeck writes</source>
        <translation>no tiene el formato que escribe Glowdeck</translation>
    </message>
    <message>
        <source>or its folder cannot be written</source>
        <translation>o no se puede escribir en su carpeta</translation>
    </message>
    <message>
        <source>Not saved: the settings file %1 %2. The choice holds until Glowdeck quits.</source>
        <translation>No guardado: el archivo de configuración %1 %2. La elección se mantiene hasta que Glowdeck se cierre.</translation>
    </message>
</context>
<context>
    <name>CameraWatcher</name>
    <message>
        <source>Cannot watch %1</source>
        <translation>No se puede vigilar %1</translation>
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
        <translation>Muestra y controla las luces de escritorio USB desde la bandeja del sistema.

Sin orden, inicia la aplicación de la bandeja. Con una, actúa y termina; a través del Glowdeck
en ejecución si lo hay, si no, ejecutando litra por sí mismo:
  toggle                 apagar las luces si alguna está encendida, si no, encenderlas
  on, off                encender o apagar las luces
  brightness PORCENTAJE  fijar el brillo, de 1 a 100
  temperature KELVIN     fijar la temperatura de color, un múltiplo de 100
  refresh                consultar de nuevo las luces
  preferences            abrir las Preferencias (inicia Glowdeck si no está en ejecución)
  status                 mostrar el estado y el número de luces en una línea
  status --json          mostrar el estado, el número y cada luz en JSON
toggle, on, off, brightness y temperature admiten --light NÚMERO.

Estado de salida: 0 hecho; 1 litra falló (su motivo en la salida de error);
2 argumentos incorrectos.</translation>
    </message>
    <message>
        <source>Act on the light with this serial number only.</source>
        <translation>Actuar solo sobre la luz con este número de serie.</translation>
    </message>
    <message>
        <source>SERIAL</source>
        <translation>NÚMERO</translation>
    </message>
    <message>
        <source>With status: print JSON.</source>
        <translation>Con status: mostrar JSON.</translation>
    </message>
    <message>
        <source>Displays this help.</source>
        <translation>Muestra esta ayuda.</translation>
    </message>
    <message>
        <source>verb</source>
        <translation>orden</translation>
    </message>
    <message>
        <source>what to do (see above)</source>
        <translation>qué hacer (ver arriba)</translation>
    </message>
    <message>
        <source>[verb [value]]</source>
        <translation>[orden [valor]]</translation>
    </message>
    <message>
        <source>%1 needs %2</source>
        <translation>%1 necesita %2</translation>
    </message>
    <message>
        <source>%1 takes %2, not %3</source>
        <translation>%1 admite %2, no %3</translation>
    </message>
    <message>
        <source>%1 does not take --light</source>
        <translation>%1 no admite --light</translation>
    </message>
    <message>
        <source>--light is given more than once</source>
        <translation>--light se indica más de una vez</translation>
    </message>
    <message>
        <source>--light needs a serial number, got an empty one</source>
        <translation>--light necesita un número de serie, pero está vacío</translation>
    </message>
    <message>
        <source>unknown verb %1; see glowdeck --help</source>
        <translation>orden desconocida %1; véase glowdeck --help</translation>
    </message>
    <message>
        <source>unexpected argument %1 after %2</source>
        <translation>argumento inesperado %1 después de %2</translation>
    </message>
    <message>
        <source>--json goes with status only</source>
        <translation>--json solo va con status</translation>
    </message>
    <message>
        <source>%1 See glowdeck --help.</source>
        <translation>%1 Véase glowdeck --help.</translation>
    </message>
    <message>
        <source>--light and --json go with a verb; see glowdeck --help</source>
        <translation>--light y --json van con una orden; véase glowdeck --help</translation>
    </message>
</context>
<context>
    <name>DesktopNotifier</name>
    <message>
        <source>Open Preferences</source>
        <translation>Abrir Preferencias</translation>
    </message>
</context>
<context>
    <name>Errors</name>
    <message>
        <source>litra exited %1: %2</source>
        <translation>litra terminó con el código %1: %2</translation>
    </message>
    <message>
        <source>Failed to parse litra output: %1</source>
        <translation>No se pudo interpretar la salida de litra: %1</translation>
    </message>
    <message>
        <source>Failed to parse litra output</source>
        <translation>No se pudo interpretar la salida de litra</translation>
    </message>
    <message>
        <source>litra was killed by %1</source>
        <translation>litra fue terminado por %1</translation>
    </message>
    <message>
        <source>No litra tool chosen yet</source>
        <translation>Aún no se ha elegido una herramienta litra</translation>
    </message>
    <message>
        <source>Bundled litra binary missing</source>
        <translation>Falta la herramienta litra incluida</translation>
    </message>
    <message>
        <source>Could not start %1: %2</source>
        <translation>No se pudo iniciar %1: %2</translation>
    </message>
    <message>
        <source>Could not read from litra: %1</source>
        <translation>No se pudo leer de litra: %1</translation>
    </message>
    <message>
        <source>litra run abandoned</source>
        <translation>Ejecución de litra abandonada</translation>
    </message>
    <message>
        <source>litra did not finish within %1 seconds and was stopped</source>
        <translation>litra no terminó en %1 segundos y se detuvo</translation>
    </message>
    <message>
        <source>litra wrote more than %1 MiB of output and was stopped</source>
        <translation>litra escribió más de %1 MiB y se detuvo</translation>
    </message>
    <message>
        <source>device state unknown</source>
        <translation>estado del dispositivo desconocido</translation>
    </message>
    <message>
        <source>The litra tool chosen in Preferences, %1, is not an absolute path</source>
        <translation>La herramienta litra elegida en Preferencias, %1, no es una ruta absoluta</translation>
    </message>
    <message>
        <source>Cannot use %1 as the litra tool: %2</source>
        <translation>No se puede usar %1 como herramienta litra: %2</translation>
    </message>
    <message>
        <source>the path is not absolute</source>
        <translation>la ruta no es absoluta</translation>
    </message>
    <message>
        <source>there is no such file</source>
        <translation>ese archivo no existe</translation>
    </message>
    <message>
        <source>it is not a file</source>
        <translation>no es un archivo</translation>
    </message>
    <message>
        <source>it is not executable</source>
        <translation>no es ejecutable</translation>
    </message>
    <message>
        <source>serial number %1 begins with &quot;-&quot;</source>
        <translation>el número de serie %1 empieza por &quot;-&quot;</translation>
    </message>
    <message>
        <source>serial number %1 holds a control character</source>
        <translation>el número de serie %1 contiene un carácter de control</translation>
    </message>
    <message>
        <source>no light with serial number %1</source>
        <translation>ninguna luz con el número de serie %1</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Error desconocido</translation>
    </message>
    <message>
        <source>Glowdeck is still starting</source>
        <translation>Glowdeck aún se está iniciando</translation>
    </message>
    <message>
        <source>Too many light commands are waiting (%1); this one was not run</source>
        <translation>Hay demasiadas órdenes para las luces en espera (%1); esta no se ejecutó</translation>
    </message>
</context>
<context>
    <name>LoginItemService</name>
    <message>
        <source>its path is not valid UTF-8, which autostart entries require</source>
        <translation>su ruta no es UTF-8 válido, que las entradas de inicio automático requieren</translation>
    </message>
    <message>
        <source>its path contains a control character, which autostart entries cannot hold</source>
        <translation>su ruta contiene un carácter de control, que las entradas de inicio automático no admiten</translation>
    </message>
    <message>
        <source>its path contains &quot;%&quot;, which GLib-based sessions refuse to start</source>
        <translation>su ruta contiene «%», por lo que las sesiones basadas en GLib se niegan a iniciarlo</translation>
    </message>
    <message>
        <source>Could not write an autostart entry for %1: %2.</source>
        <translation>No se pudo escribir una entrada de inicio automático para %1: %2.</translation>
    </message>
    <message>
        <source>Could not create the autostart folder %1: %2</source>
        <translation>No se pudo crear la carpeta de inicio automático %1: %2</translation>
    </message>
    <message>
        <source>Could not write the autostart entry %1: %2</source>
        <translation>No se pudo escribir la entrada de inicio automático %1: %2</translation>
    </message>
    <message>
        <source>Could not remove the autostart entry %1: %2</source>
        <translation>No se pudo eliminar la entrada de inicio automático %1: %2</translation>
    </message>
</context>
<context>
    <name>PanelStatus</name>
    <message>
        <source>on</source>
        <translation>encendida</translation>
    </message>
    <message>
        <source>off</source>
        <translation>apagada</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Luz</translation>
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
        <translation>Claro</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Oscuro</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>Automático</translation>
    </message>
    <message>
        <source>The lights cannot be asked: the litra tool failed (see Status).</source>
        <translation>No se puede consultar las luces: la herramienta litra falló (ver Estado).</translation>
    </message>
    <message>
        <source>No Litra devices connected.</source>
        <translation>No hay dispositivos Litra conectados.</translation>
    </message>
    <message>
        <source>Glowdeck&apos;s udev rule %1 gives you access.</source>
        <translation>La regla udev de Glowdeck %1 te da acceso.</translation>
    </message>
    <message>
        <source> Copy it to /etc/udev/rules.d and load it:</source>
        <translation> Cópiala a /etc/udev/rules.d y cárgala:</translation>
    </message>
    <message>
        <source> Load it:</source>
        <translation> Cárgala:</translation>
    </message>
    <message>
        <source>Glowdeck came without a litra tool. Choose the one you installed, such as ~/.local/bin/litra.</source>
        <translation>Glowdeck viene sin herramienta litra. Elige la que instalaste, por ejemplo ~/.local/bin/litra.</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Situación</translation>
    </message>
    <message>
        <source>Devices</source>
        <translation>Dispositivos</translation>
    </message>
    <message>
        <source>Simulated lights</source>
        <translation>Luces simuladas</translation>
    </message>
    <message>
        <source>Lights</source>
        <translation>Luces</translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation>Brillo</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Temperatura</translation>
    </message>
    <message>
        <source>Apply to</source>
        <translation>Aplicar a</translation>
    </message>
    <message>
        <source>General</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Launch at login</source>
        <translation>Iniciar al iniciar sesión</translation>
    </message>
    <message>
        <source>Notify me when the lights need me</source>
        <translation>Avisarme cuando las luces me necesiten</translation>
    </message>
    <message>
        <source>No litra tool, one that cannot start, no permission for a light, or a light that keeps failing</source>
        <translation>Sin herramienta litra, una que no arranca, sin permiso para una luz, o una luz que falla una y otra vez</translation>
    </message>
    <message>
        <source>Tray icon</source>
        <translation>Icono de la bandeja</translation>
    </message>
    <message>
        <source>Light suits a dark panel and Dark a light one, where Automatic cannot tell.</source>
        <translation>Claro va con un panel oscuro y Oscuro con uno claro, donde Automático no puede saberlo.</translation>
    </message>
    <message>
        <source>Turn lights on while a camera is in use</source>
        <translation>Encender las luces mientras se usa una cámara</translation>
    </message>
    <message>
        <source>Status Polling</source>
        <translation>Consulta del estado</translation>
    </message>
    <message>
        <source>Refresh every</source>
        <translation>Actualizar cada</translation>
    </message>
    <message>
        <source>How often Glowdeck checks the current state of your lights.</source>
        <translation>Con qué frecuencia Glowdeck comprueba el estado actual de tus luces.</translation>
    </message>
    <message>
        <source>litra tool</source>
        <translation>Herramienta litra</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Ninguna</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Elegir…</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Restablecer</translation>
    </message>
    <message>
        <source>Use the litra tool that came with Glowdeck</source>
        <translation>Usar la herramienta litra que viene con Glowdeck</translation>
    </message>
    <message>
        <source>Choose the litra tool</source>
        <translation>Elegir la herramienta litra</translation>
    </message>
    <message>
        <source>litra --version printed nothing</source>
        <translation>litra --version no mostró nada</translation>
    </message>
    <message>
        <source>All lights</source>
        <translation>Todas las luces</translation>
    </message>
</context>
<context>
    <name>PreferencesWindowController</name>
    <message>
        <source>Preferences</source>
        <translation>Preferencias</translation>
    </message>
</context>
<context>
    <name>QComboBox</name>
    <message>
        <source>Open the combo box selection popup</source>
        <translation>Abrir la lista de opciones del cuadro combinado</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>inotify is unavailable</source>
        <translation>inotify no está disponible</translation>
    </message>
    <message>
        <source>Cannot watch %1</source>
        <translation>No se puede vigilar %1</translation>
    </message>
</context>
<context>
    <name>SessionService</name>
    <message>
        <source>Cannot make sure that only one Glowdeck runs in this session: %1.</source>
        <translation>No se puede garantizar que solo se ejecute un Glowdeck en esta sesión: %1.</translation>
    </message>
    <message>
        <source>there is no session bus (%1)</source>
        <translation>no hay bus de sesión (%1)</translation>
    </message>
    <message>
        <source>the object %1 is taken on the session bus</source>
        <translation>el objeto %1 ya está ocupado en el bus de sesión</translation>
    </message>
    <message>
        <source>the session bus did not give the name %1 (%2)</source>
        <translation>el bus de sesión no concedió el nombre %1 (%2)</translation>
    </message>
    <message>
        <source>no answer within %1 seconds</source>
        <translation>sin respuesta en %1 segundos</translation>
    </message>
    <message>
        <source>Glowdeck is already running (process %1) but did not answer: %2</source>
        <translation>Glowdeck ya se está ejecutando (proceso %1) pero no respondió: %2</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>desconocido</translation>
    </message>
</context>
<context>
    <name>StatusMenu</name>
    <message>
        <source>Light %1</source>
        <translation>Luz %1</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Preferencias</translation>
    </message>
    <message>
        <source>Toggle Lights</source>
        <translation>Encender/apagar las luces</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Actualizar</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Salir</translation>
    </message>
    <message numerus="yes">
        <source>%n device(s) connected</source>
        <translation>
            <numerusform>%n dispositivo conectado</numerusform>
            <numerusform>%n dispositivos conectados</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>StatusPresentation</name>
    <message>
        <source>Camera in use</source>
        <translation>Cámara en uso</translation>
    </message>
</context>
<context>
    <name>StatusWords</name>
    <message>
        <source>All lights: On</source>
        <translation>Todas las luces: encendidas</translation>
    </message>
    <message>
        <source>All lights: Off</source>
        <translation>Todas las luces: apagadas</translation>
    </message>
    <message>
        <source>Lights: Mixed</source>
        <translation>Luces: algunas encendidas</translation>
    </message>
    <message>
        <source>No Litra devices found</source>
        <translation>No se encontraron dispositivos Litra</translation>
    </message>
    <message>
        <source>A light is connected, but you do not have permission to use it.</source>
        <translation>Hay una luz conectada, pero no tienes permiso para usarla.</translation>
    </message>
    <message>
        <source>Choose it in Preferences, General: litra tool</source>
        <translation>Elígela en Preferencias, General: Herramienta litra</translation>
    </message>
    <message>
        <source>Reinstall Glowdeck, or choose a litra tool in Preferences</source>
        <translation>Reinstala Glowdeck o elige una herramienta litra en Preferencias</translation>
    </message>
    <message>
        <source>Make the tool executable, or choose another in Preferences</source>
        <translation>Haz ejecutable la herramienta o elige otra en Preferencias</translation>
    </message>
    <message>
        <source>Choose the litra tool again in Preferences</source>
        <translation>Vuelve a elegir la herramienta litra en Preferencias</translation>
    </message>
    <message>
        <source>Is it the litra tool? Choose the right one in Preferences</source>
        <translation>¿Es la herramienta litra? Elige la correcta en Preferencias</translation>
    </message>
    <message>
        <source>Unplug the lights and plug them in again, then Refresh</source>
        <translation>Desconecta las luces y vuelve a conectarlas, luego Actualizar</translation>
    </message>
    <message>
        <source>Choose Refresh; if it happens again, update litra</source>
        <translation>Elige Actualizar; si vuelve a ocurrir, actualiza litra</translation>
    </message>
    <message>
        <source>Check that the lights are plugged in, then Refresh</source>
        <translation>Comprueba que las luces están conectadas, luego Actualizar</translation>
    </message>
    <message>
        <source>Choose Refresh to try again; details in Preferences</source>
        <translation>Elige Actualizar para reintentarlo; detalles en Preferencias</translation>
    </message>
    <message>
        <source>Error: %1</source>
        <translation>Error: %1</translation>
    </message>
    <message>
        <source>Load Glowdeck&apos;s udev rule, as Preferences (Status) shows</source>
        <translation>Carga la regla udev de Glowdeck, como muestran las Preferencias (Estado)</translation>
    </message>
    <message>
        <source>Plug a light in; Glowdeck sees it at once</source>
        <translation>Conecta una luz; Glowdeck la detecta al instante</translation>
    </message>
</context>
<context>
    <name>ValueRanges</name>
    <message>
        <source>a percentage from %1 to %2</source>
        <translation>un porcentaje de %1 a %2</translation>
    </message>
    <message>
        <source>kelvin from %1 to %2 in steps of %3</source>
        <translation>kelvin de %1 a %2 en pasos de %3</translation>
    </message>
</context>
<context>
    <name>Verbs</name>
    <message>
        <source>the running Glowdeck did not carry it out: %1</source>
        <translation>el Glowdeck en ejecución no lo llevó a cabo: %1</translation>
    </message>
</context>
<context>
    <name>WheelAdjuster</name>
    <message>
        <source>Temperature: %1 K</source>
        <translation>Temperatura: %1 K</translation>
    </message>
    <message>
        <source>Brightness: %1 %</source>
        <translation>Brillo: %1 %</translation>
    </message>
</context>
</TS>
