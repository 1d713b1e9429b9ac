<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>BrowserControl</name>
    <message>
        <source>Loading...</source>
        <translation>Wird geladen …</translation>
    </message>
    <message>
        <source>Loading... %1%</source>
        <translation>Wird geladen … %1 %</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Offline: the page was not loaded</source>
        <translation>Offline: Die Seite wurde nicht geladen</translation>
    </message>
    <message>
        <source>The page could not be loaded</source>
        <translation>Die Seite konnte nicht geladen werden</translation>
    </message>
    <message>
        <source>Block further messages from this page</source>
        <translation>Weitere Meldungen dieser Seite &amp;blockieren</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>S&amp;chließen</translation>
    </message>
</context>
<context>
    <name>BrowserPage</name>
    <message>
        <source>The page says: %1</source>
        <translation>Die Seite meldet: %1</translation>
    </message>
    <message>
        <source>The page asked to be kept open; it was left.</source>
        <translation>Die Seite bat darum, geöffnet zu bleiben; sie wurde trotzdem verlassen.</translation>
    </message>
    <message>
        <source>The page asks: %1 (answered Cancel)</source>
        <translation>Die Seite fragt: %1 (mit „Abbrechen“ beantwortet)</translation>
    </message>
    <message>
        <source>The page asks for text: %1 (answered Cancel)</source>
        <translation>Die Seite bittet um eine Eingabe: %1 (mit „Abbrechen“ beantwortet)</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>Open...</source>
        <translation>Ö&amp;ffnen …</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Speichern &amp;unter …</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Open in Browser</source>
        <translation>&amp;Im Browser öffnen</translation>
    </message>
    <message>
        <source>Find in Files...</source>
        <translation>In &amp;Dateien suchen …</translation>
    </message>
    <message>
        <source>Check Links...</source>
        <translation>Lin&amp;ks prüfen …</translation>
    </message>
    <message>
        <source>Preview Beside</source>
        <translation>V&amp;orschau daneben</translation>
    </message>
    <message>
        <source>New Browser</source>
        <translation>Neuer B&amp;rowser</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>&amp;Drucken</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wieder&amp;herstellen</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Find...</source>
        <translation>&amp;Suchen …</translation>
    </message>
    <message>
        <source>Find Next</source>
        <translation>We&amp;itersuchen</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alles aus&amp;wählen</translation>
    </message>
    <message>
        <source>Select Element</source>
        <translation>Ele&amp;ment auswählen</translation>
    </message>
    <message>
        <source>Go to Matching Tag</source>
        <translation>Zum &amp;passenden Tag</translation>
    </message>
    <message>
        <source>Time &amp;&amp; Date</source>
        <translation>Datum &amp;&amp; &amp;Uhrzeit</translation>
    </message>
    <message>
        <source>Body-Builder...</source>
        <translation>&amp;Body-Builder …</translation>
    </message>
    <message>
        <source>CSS...</source>
        <translation>&amp;CSS …</translation>
    </message>
    <message>
        <source>Font...</source>
        <translation>&amp;Schrift …</translation>
    </message>
    <message>
        <source>Forms...</source>
        <translation>&amp;Formulare …</translation>
    </message>
    <message>
        <source>Frames...</source>
        <translation>F&amp;rames …</translation>
    </message>
    <message>
        <source>Gradient...</source>
        <translation>&amp;Verlauf …</translation>
    </message>
    <message>
        <source>Image Map...</source>
        <translation>&amp;Imagemap …</translation>
    </message>
    <message>
        <source>Compile</source>
        <translation>&amp;Kompilieren</translation>
    </message>
    <message>
        <source>JavaScripts...</source>
        <translation>J&amp;avaScripts …</translation>
    </message>
    <message>
        <source>Link...</source>
        <translation>&amp;Link …</translation>
    </message>
    <message>
        <source>Lists...</source>
        <translation>Lis&amp;ten …</translation>
    </message>
    <message>
        <source>Picture...</source>
        <translation>&amp;Grafik …</translation>
    </message>
    <message>
        <source>Symbols...</source>
        <translation>S&amp;ymbole …</translation>
    </message>
    <message>
        <source>Tables...</source>
        <translation>Tab&amp;ellen …</translation>
    </message>
    <message>
        <source>Check HTML</source>
        <translation>&amp;HTML prüfen</translation>
    </message>
    <message>
        <source>Check Spelling</source>
        <translation>Rechtschreibung &amp;prüfen</translation>
    </message>
    <message>
        <source>Spelling List</source>
        <translation>Falsch geschriebene &amp;Wörter</translation>
    </message>
    <message>
        <source>DOS format</source>
        <translation>&amp;DOS-Format</translation>
    </message>
    <message>
        <source>UNIX format</source>
        <translation>UNI&amp;X-Format</translation>
    </message>
    <message>
        <source>MAC format</source>
        <translation>&amp;MAC-Format</translation>
    </message>
    <message>
        <source>Expand Abbreviation</source>
        <translation>Abkür&amp;zung auflösen</translation>
    </message>
    <message>
        <source>Next Edit Point</source>
        <translation>&amp;Nächste Bearbeitungsstelle</translation>
    </message>
    <message>
        <source>Previous Edit Point</source>
        <translation>Vorherige Bearbeit&amp;ungsstelle</translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation>&amp;Einstellungen …</translation>
    </message>
    <message>
        <source>Line Numbers</source>
        <translation>&amp;Zeilennummern</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>Ver&amp;größern</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>Ver&amp;kleinern</translation>
    </message>
    <message>
        <source>Reset Zoom</source>
        <translation>&amp;Originalgröße</translation>
    </message>
    <message>
        <source>Colorize Document</source>
        <translation>Dokument ein&amp;färben</translation>
    </message>
    <message>
        <source>Remove Colors</source>
        <translation>Farben en&amp;tfernen</translation>
    </message>
    <message>
        <source>Edit default template</source>
        <translation>Standard&amp;vorlage bearbeiten</translation>
    </message>
    <message>
        <source>Cascade</source>
        <translation>&amp;Überlappend</translation>
    </message>
    <message>
        <source>Tile Horizontal</source>
        <translation>&amp;Untereinander</translation>
    </message>
    <message>
        <source>Tile Vertical</source>
        <translation>&amp;Nebeneinander</translation>
    </message>
    <message>
        <source>Arrange Icons</source>
        <translation>&amp;Symbole anordnen</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Check for update...</source>
        <translation>Nach &amp;Aktualisierungen suchen …</translation>
    </message>
    <message>
        <source>About Quillora</source>
        <translation>Ü&amp;ber Quillora</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>&amp;Vorwärts</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>&amp;Stopp</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>&amp;Neu laden</translation>
    </message>
    <message>
        <source>Open File...</source>
        <translation>&amp;Datei öffnen …</translation>
    </message>
    <message>
        <source>View Source</source>
        <translation>&amp;Quelltext anzeigen</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>&amp;Offline</translation>
    </message>
    <message>
        <source>File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>E&amp;xtras</translation>
    </message>
    <message>
        <source>Java</source>
        <translation>&amp;Java</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>Window</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>?</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Browser</source>
        <translation>&amp;Browser</translation>
    </message>
</context>
<context>
    <name>PreviewBeside</name>
    <message>
        <source>This page is large: the preview follows it when it is saved.</source>
        <translation>Diese Seite ist groß: Die Vorschau folgt ihr beim Speichern.</translation>
    </message>
</context>
<context>
    <name>frmView</name>
    <message>
        <source>Page messages not shown: %1</source>
        <translation>Nicht angezeigte Meldungen der Seite: %1</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Usage: quillora [FILE]...
Edit HTML pages, style sheets, scripts and other text files. Each FILE opens in a document
window of its own. When Quillora is already running, the files open in that window instead.

  --help     show this help and exit
  --version  show the version and exit
</source>
        <translation>Aufruf: quillora [DATEI]...
Bearbeitet HTML-Seiten, Stylesheets, Skripte und andere Textdateien. Jede DATEI wird in einem
eigenen Dokumentfenster geöffnet. Läuft Quillora bereits, werden die Dateien dort geöffnet.

  --help     diese Hilfe anzeigen und beenden
  --version  die Version anzeigen und beenden
</translation>
    </message>
</context>
</TS>
