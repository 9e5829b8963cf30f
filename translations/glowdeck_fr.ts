<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About %1</source>
        <translation>À propos de %1</translation>
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
        <translation>Allumez vos Litra&#xa0;!</translation>
    </message>
    <message>
        <source>Glowdeck is built on the litra command-line tool.</source>
        <translation>Glowdeck s&apos;appuie sur l&apos;outil en ligne de commande litra.</translation>
    </message>
</context>
<context>
    <name>AppState</name>
    <message>
        <source>is not in the format Glowdeck writes</source>
        <translation>n&apos;est pas au format qu&apos;écrit Glowdeck</translation>
    </message>
    <message>
        <source>or its folder cannot be written</source>
        <translation>ou son dossier ne peut pas être écrit</translation>
    </message>
    <message>
        <source>Not saved: the settings file %1 %2. The choice holds until Glowdeck quits.</source>
        <translation>Non enregistré&#xa0;: le fichier de réglages %1 %2. Le choix vaut jusqu&apos;à la fermeture de Glowdeck.</translation>
    </message>
</context>
<context>
    <name>CameraWatcher</name>
    <message>
        <source>Cannot watch %1</source>
        <translation>Impossible de surveiller %1</translation>
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
        <translation>Affiche et commande les lampes de bureau USB depuis la zone de notification.

Sans commande, lance l&apos;application de la zone de notification. Avec une commande, agit puis
quitte ; par le Glowdeck en cours d&apos;exécution s&apos;il y en a un, sinon en lançant litra lui-même :
  toggle                 éteindre les lampes si l&apos;une est allumée, sinon les allumer
  on, off                allumer ou éteindre les lampes
  brightness POURCENT    régler la luminosité, de 1 à 100
  temperature KELVIN     régler la température de couleur, un multiple de 100
  refresh                interroger à nouveau les lampes
  preferences            ouvrir les Préférences (lance Glowdeck s&apos;il n&apos;est pas en cours)
  status                 afficher l&apos;état et le nombre de lampes sur une ligne
  status --json          afficher l&apos;état, le nombre et chaque lampe en JSON
toggle, on, off, brightness et temperature acceptent --light NUMÉRO.

Code de sortie : 0 effectué ; 1 échec de litra (sa raison sur la sortie d&apos;erreur) ;
2 arguments incorrects.</translation>
    </message>
    <message>
        <source>Act on the light with this serial number only.</source>
        <translation>Agir uniquement sur la lampe de ce numéro de série.</translation>
    </message>
    <message>
        <source>SERIAL</source>
        <translation>NUMÉRO</translation>
    </message>
    <message>
        <source>With status: print JSON.</source>
        <translation>Avec status&#xa0;: afficher du JSON.</translation>
    </message>
    <message>
        <source>Displays this help.</source>
        <translation>Affiche cette aide.</translation>
    </message>
    <message>
        <source>verb</source>
        <translation>commande</translation>
    </message>
    <message>
        <source>what to do (see above)</source>
        <translation>ce qu&apos;il faut faire (voir plus haut)</translation>
    </message>
    <message>
        <source>[verb [value]]</source>
        <translation>[commande [valeur]]</translation>
    </message>
    <message>
        <source>%1 needs %2</source>
        <translation>%1 attend %2</translation>
    </message>
    <message>
        <source>%1 takes %2, not %3</source>
        <translation>%1 attend %2, pas %3</translation>
    </message>
    <message>
        <source>%1 does not take --light</source>
        <translation>%1 n&apos;accepte pas --light</translation>
    </message>
    <message>
        <source>--light is given more than once</source>
        <translation>--light est donné plus d&apos;une fois</translation>
    </message>
    <message>
        <source>--light needs a serial number, got an empty one</source>
        <translation>--light attend un numéro de série, mais il est vide</translation>
    </message>
    <message>
        <source>unknown verb %1; see glowdeck --help</source>
        <translation>commande inconnue %1&#xa0;; voir glowdeck --help</translation>
    </message>
    <message>
        <source>unexpected argument %1 after %2</source>
        <translation>argument inattendu %1 après %2</translation>
    </message>
    <message>
        <source>--json goes with status only</source>
        <translation>--json ne va qu&apos;avec status</translation>
    </message>
    <message>
        <source>%1 See glowdeck --help.</source>
        <translation>%1 Voir glowdeck --help.</translation>
    </message>
    <message>
        <source>--light and --json go with a verb; see glowdeck --help</source>
        <translation>--light et --json vont avec une commande&#xa0;; voir glowdeck --help</translation>
    </message>
</context>
<context>
    <name>DesktopNotifier</name>
    <message>
        <source>Open Preferences</source>
        <translation>Ouvrir les Préférences</translation>
    </message>
</context>
<context>
    <name>Errors</name>
    <message>
        <source>litra exited %1: %2</source>
        <translation>litra s&apos;est terminé avec le code %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Failed to parse litra output: %1</source>
        <translation>Impossible de lire la sortie de litra&#xa0;: %1</translation>
    </message>
    <message>
        <source>Failed to parse litra output</source>
        <translation>Impossible de lire la sortie de litra</translation>
    </message>
    <message>
        <source>litra was killed by %1</source>
        <translation>litra a été tué par %1</translation>
    </message>
    <message>
        <source>No litra tool chosen yet</source>
        <translation>Aucun outil litra choisi pour le moment</translation>
    </message>
    <message>
        <source>Bundled litra binary missing</source>
        <translation>L&apos;outil litra fourni est absent</translation>
    </message>
    <message>
        <source>Could not start %1: %2</source>
        <translation>Impossible de lancer %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Could not read from litra: %1</source>
        <translation>Impossible de lire depuis litra&#xa0;: %1</translation>
    </message>
    <message>
        <source>litra run abandoned</source>
        <translation>Exécution de litra abandonnée</translation>
    </message>
    <message>
        <source>litra did not finish within %1 seconds and was stopped</source>
        <translation>litra n&apos;a pas fini en %1 secondes et a été arrêté</translation>
    </message>
    <message>
        <source>litra wrote more than %1 MiB of output and was stopped</source>
        <translation>litra a écrit plus de %1 Mio et a été arrêté</translation>
    </message>
    <message>
        <source>device state unknown</source>
        <translation>état de l&apos;appareil inconnu</translation>
    </message>
    <message>
        <source>The litra tool chosen in Preferences, %1, is not an absolute path</source>
        <translation>L&apos;outil litra choisi dans les Préférences, %1, n&apos;est pas un chemin absolu</translation>
    </message>
    <message>
        <source>Cannot use %1 as the litra tool: %2</source>
        <translation>Impossible d&apos;utiliser %1 comme outil litra&#xa0;: %2</translation>
    </message>
    <message>
        <source>the path is not absolute</source>
        <translation>le chemin n&apos;est pas absolu</translation>
    </message>
    <message>
        <source>there is no such file</source>
        <translation>ce fichier n&apos;existe pas</translation>
    </message>
    <message>
        <source>it is not a file</source>
        <translation>ce n&apos;est pas un fichier</translation>
    </message>
    <message>
        <source>it is not executable</source>
        <translation>il n&apos;est pas exécutable</translation>
    </message>
    <message>
        <source>serial number %1 begins with &quot;-&quot;</source>
        <translation>le numéro de série %1 commence par &quot;-&quot;</translation>
    </message>
    <message>
        <source>serial number %1 holds a control character</source>
        <translation>le numéro de série %1 contient un caractère de contrôle</translation>
    </message>
    <message>
        <source>no light with serial number %1</source>
        <translation>aucune lampe avec le numéro de série %1</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Erreur inconnue</translation>
    </message>
    <message>
        <source>Glowdeck is still starting</source>
        <translation>Glowdeck est encore en train de démarrer</translation>
    </message>
    <message>
        <source>Too many light commands are waiting (%1); this one was not run</source>
        <translation>Trop de commandes de lampes sont en attente (%1)&#xa0;; celle-ci n&apos;a pas été exécutée</translation>
    </message>
</context>
<context>
    <name>LoginItemService</name>
    <message>
        <source>its path is not valid UTF-8, which autostart entries require</source>
        <translation>son chemin n&apos;est pas en UTF-8 valide, ce qu&apos;exigent les entrées de démarrage automatique</translation>
    </message>
    <message>
        <source>its path contains a control character, which autostart entries cannot hold</source>
        <translation>son chemin contient un caractère de contrôle, que les entrées de démarrage automatique ne peuvent pas contenir</translation>
    </message>
    <message>
        <source>its path contains &quot;%&quot;, which GLib-based sessions refuse to start</source>
        <translation>son chemin contient «&#xa0;%&#xa0;», que les sessions basées sur GLib refusent de lancer</translation>
    </message>
    <message>
        <source>Could not write an autostart entry for %1: %2.</source>
        <translation>Impossible d&apos;écrire une entrée de démarrage automatique pour %1&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Could not create the autostart folder %1: %2</source>
        <translation>Impossible de créer le dossier de démarrage automatique %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Could not write the autostart entry %1: %2</source>
        <translation>Impossible d&apos;écrire l&apos;entrée de démarrage automatique %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Could not remove the autostart entry %1: %2</source>
        <translation>Impossible de supprimer l&apos;entrée de démarrage automatique %1&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>PanelStatus</name>
    <message>
        <source>on</source>
        <translation>allumée</translation>
    </message>
    <message>
        <source>off</source>
        <translation>éteinte</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Lampe</translation>
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
        <translation>Clair</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Sombre</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>Automatique</translation>
    </message>
    <message>
        <source>The lights cannot be asked: the litra tool failed (see Status).</source>
        <translation>Impossible d&apos;interroger les lampes&#xa0;: l&apos;outil litra a échoué (voir État).</translation>
    </message>
    <message>
        <source>No Litra devices connected.</source>
        <translation>Aucun appareil Litra connecté.</translation>
    </message>
    <message>
        <source>Glowdeck&apos;s udev rule %1 gives you access.</source>
        <translation>La règle udev de Glowdeck %1 vous donne l&apos;accès.</translation>
    </message>
    <message>
        <source> Copy it to /etc/udev/rules.d and load it:</source>
        <translation> Copiez-la dans /etc/udev/rules.d et chargez-la&#xa0;:</translation>
    </message>
    <message>
        <source> Load it:</source>
        <translation> Chargez-la&#xa0;:</translation>
    </message>
    <message>
        <source>Glowdeck came without a litra tool. Choose the one you installed, such as ~/.local/bin/litra.</source>
        <translation>Glowdeck est fourni sans outil litra. Choisissez celui que vous avez installé, par exemple ~/.local/bin/litra.</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>État</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Situation</translation>
    </message>
    <message>
        <source>Devices</source>
        <translation>Appareils</translation>
    </message>
    <message>
        <source>Simulated lights</source>
        <translation>Lampes simulées</translation>
    </message>
    <message>
        <source>Lights</source>
        <translation>Lampes</translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation>Luminosité</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Température</translation>
    </message>
    <message>
        <source>Apply to</source>
        <translation>Appliquer à</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Général</translation>
    </message>
    <message>
        <source>Launch at login</source>
        <translation>Lancer à la connexion</translation>
    </message>
    <message>
        <source>Notify me when the lights need me</source>
        <translation>M&apos;avertir quand les lampes ont besoin de moi</translation>
    </message>
    <message>
        <source>No litra tool, one that cannot start, no permission for a light, or a light that keeps failing</source>
        <translation>Pas d&apos;outil litra, un outil qui ne démarre pas, pas d&apos;autorisation pour une lampe, ou une lampe qui échoue sans cesse</translation>
    </message>
    <message>
        <source>Tray icon</source>
        <translation>Icône de la zone</translation>
    </message>
    <message>
        <source>Light suits a dark panel and Dark a light one, where Automatic cannot tell.</source>
        <translation>Clair convient à un panneau sombre et Sombre à un panneau clair, là où Automatique ne peut pas le savoir.</translation>
    </message>
    <message>
        <source>Turn lights on while a camera is in use</source>
        <translation>Allumer les lampes pendant qu&apos;une caméra est utilisée</translation>
    </message>
    <message>
        <source>Status Polling</source>
        <translation>Interrogation de l&apos;état</translation>
    </message>
    <message>
        <source>Refresh every</source>
        <translation>Actualiser toutes les</translation>
    </message>
    <message>
        <source>How often Glowdeck checks the current state of your lights.</source>
        <translation>À quelle fréquence Glowdeck vérifie l&apos;état actuel de vos lampes.</translation>
    </message>
    <message>
        <source>litra tool</source>
        <translation>Outil litra</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Aucun</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Choisir…</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Réinitialiser</translation>
    </message>
    <message>
        <source>Use the litra tool that came with Glowdeck</source>
        <translation>Utiliser l&apos;outil litra fourni avec Glowdeck</translation>
    </message>
    <message>
        <source>Choose the litra tool</source>
        <translation>Choisir l&apos;outil litra</translation>
    </message>
    <message>
        <source>litra --version printed nothing</source>
        <translation>litra --version n&apos;a rien affiché</translation>
    </message>
    <message>
        <source>All lights</source>
        <translation>Toutes les lampes</translation>
    </message>
</context>
<context>
    <name>PreferencesWindowController</name>
    <message>
        <source>Preferences</source>
        <translation>Préférences</translation>
    </message>
</context>
<context>
    <name>QComboBox</name>
    <message>
        <source>Open the combo box selection popup</source>
        <translation>Ouvrir la liste de choix de la liste déroulante</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>inotify is unavailable</source>
        <translation>inotify n&apos;est pas disponible</translation>
    </message>
    <message>
        <source>Cannot watch %1</source>
        <translation>Impossible de surveiller %1</translation>
    </message>
</context>
<context>
    <name>SessionService</name>
    <message>
        <source>Cannot make sure that only one Glowdeck runs in this session: %1.</source>
        <translation>Impossible de garantir qu&apos;un seul Glowdeck tourne dans cette session&#xa0;: %1.</translation>
    </message>
    <message>
        <source>there is no session bus (%1)</source>
        <translation>il n&apos;y a pas de bus de session (%1)</translation>
    </message>
    <message>
        <source>the object %1 is taken on the session bus</source>
        <translation>l&apos;objet %1 est déjà pris sur le bus de session</translation>
    </message>
    <message>
        <source>the session bus did not give the name %1 (%2)</source>
        <translation>le bus de session n&apos;a pas accordé le nom %1 (%2)</translation>
    </message>
    <message>
        <source>no answer within %1 seconds</source>
        <translation>pas de réponse en %1 secondes</translation>
    </message>
    <message>
        <source>Glowdeck is already running (process %1) but did not answer: %2</source>
        <translation>Glowdeck est déjà en cours d&apos;exécution (processus %1) mais n&apos;a pas répondu&#xa0;: %2</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>inconnu</translation>
    </message>
</context>
<context>
    <name>StatusMenu</name>
    <message>
        <source>Light %1</source>
        <translation>Lampe %1</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <source>Toggle Lights</source>
        <translation>Allumer/éteindre les lampes</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Actualiser</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message numerus="yes">
        <source>%n device(s) connected</source>
        <translation>
            <numerusform>%n appareil connecté</numerusform>
            <numerusform>%n appareils connectés</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>StatusPresentation</name>
    <message>
        <source>Camera in use</source>
        <translation>Caméra utilisée</translation>
    </message>
</context>
<context>
    <name>StatusWords</name>
    <message>
        <source>All lights: On</source>
        <translation>Toutes les lampes&#xa0;: allumées</translation>
    </message>
    <message>
        <source>All lights: Off</source>
        <translation>Toutes les lampes&#xa0;: éteintes</translation>
    </message>
    <message>
        <source>Lights: Mixed</source>
        <translation>Lampes&#xa0;: certaines allumées</translation>
    </message>
    <message>
        <source>No Litra devices found</source>
        <translation>Aucun appareil Litra trouvé</translation>
    </message>
    <message>
        <source>A light is connected, but you do not have permission to use it.</source>
        <translation>Une lampe est connectée, mais vous n&apos;avez pas l&apos;autorisation de l&apos;utiliser.</translation>
    </message>
    <message>
        <source>Choose it in Preferences, General: litra tool</source>
        <translation>Choisissez-le dans les Préférences, Général&#xa0;: Outil litra</translation>
    </message>
    <message>
        <source>Reinstall Glowdeck, or choose a litra tool in Preferences</source>
        <translation>Réinstallez Glowdeck ou choisissez un outil litra dans les Préférences</translation>
    </message>
    <message>
        <source>Make the tool executable, or choose another in Preferences</source>
        <translation>Rendez l&apos;outil exécutable ou choisissez-en un autre dans les Préférences</translation>
    </message>
    <message>
        <source>Choose the litra tool again in Preferences</source>
        <translation>Choisissez à nouveau l&apos;outil litra dans les Préférences</translation>
    </message>
    <message>
        <source>Is it the litra tool? Choose the right one in Preferences</source>
        <translation>Est-ce bien l&apos;outil litra&#xa0;? Choisissez le bon dans les Préférences</translation>
    </message>
    <message>
        <source>Unplug the lights and plug them in again, then Refresh</source>
        <translation>Débranchez puis rebranchez les lampes, puis Actualiser</translation>
    </message>
    <message>
        <source>Choose Refresh; if it happens again, update litra</source>
        <translation>Choisissez Actualiser&#xa0;; si cela se reproduit, mettez litra à jour</translation>
    </message>
    <message>
        <source>Check that the lights are plugged in, then Refresh</source>
        <translation>Vérifiez que les lampes sont branchées, puis Actualiser</translation>
    </message>
    <message>
        <source>Choose Refresh to try again; details in Preferences</source>
        <translation>Choisissez Actualiser pour réessayer&#xa0;; détails dans les Préférences</translation>
    </message>
    <message>
        <source>Error: %1</source>
        <translation>Erreur&#xa0;: %1</translation>
    </message>
    <message>
        <source>Load Glowdeck&apos;s udev rule, as Preferences (Status) shows</source>
        <translation>Chargez la règle udev de Glowdeck, comme le montrent les Préférences (État)</translation>
    </message>
    <message>
        <source>Plug a light in; Glowdeck sees it at once</source>
        <translation>Branchez une lampe&#xa0;; Glowdeck la voit aussitôt</translation>
    </message>
</context>
<context>
    <name>ValueRanges</name>
    <message>
        <source>a percentage from %1 to %2</source>
        <translation>un pourcentage de %1 à %2</translation>
    </message>
    <message>
        <source>kelvin from %1 to %2 in steps of %3</source>
        <translation>des kelvins de %1 à %2 par pas de %3</translation>
    </message>
</context>
<context>
    <name>Verbs</name>
    <message>
        <source>the running Glowdeck did not carry it out: %1</source>
        <translation>le Glowdeck en cours d&apos;exécution ne l&apos;a pas fait&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>WheelAdjuster</name>
    <message>
        <source>Temperature: %1 K</source>
        <translation>Température : %1 K</translation>
    </message>
    <message>
        <source>Brightness: %1 %</source>
        <translation>Luminosité : %1 %</translation>
    </message>
</context>
</TS>
