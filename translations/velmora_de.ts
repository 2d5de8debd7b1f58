<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CAddPort</name>
    <message>
        <source>Help: </source>
        <translation>Hilfe: </translation>
    </message>
    <message>
        <source>Add Port Triggering</source>
        <translation>Port-Triggering hinzufügen</translation>
    </message>
    <message>
        <source>Auto port triggering when this software start up</source>
        <translation>Port-Triggering beim Start dieses Programms automatisch beginnen</translation>
    </message>
    <message>
        <source>Name: </source>
        <translation>Name: </translation>
    </message>
    <message>
        <source>Protocol: </source>
        <translation>Protokoll: </translation>
    </message>
    <message>
        <source>Trigger Address: </source>
        <translation>Trigger-Adresse: </translation>
    </message>
    <message>
        <source>Trigger Port: </source>
        <translation>Trigger-Port: </translation>
    </message>
    <message>
        <source>(Start)</source>
        <translation>(Anfang)</translation>
    </message>
    <message>
        <source>(End)</source>
        <translation>(Ende)</translation>
    </message>
    <message>
        <source>Frequence(ms): </source>
        <translation>Intervall (ms): </translation>
    </message>
    <message>
        <source>suggest larger than 100.</source>
        <translation>Empfohlen: mehr als 100.</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Name for this entry, this is used for our software only and doesn&apos;t affect your port triggering.</source>
        <translation>Der Name dieses Eintrags. Er dient nur diesem Programm und wirkt sich nicht auf Ihr Port-Triggering aus.</translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation>Protokoll</translation>
    </message>
    <message>
        <source>Protocol type should be the same type set in your router for the port trigger.</source>
        <translation>Das Protokoll sollte dasselbe sein, das im Router für den Port-Trigger eingestellt ist.</translation>
    </message>
    <message>
        <source>Trigger Address</source>
        <translation>Trigger-Adresse</translation>
    </message>
    <message>
        <source>Could be a website address or IP address. This can be anything you like as long as it is a valid address and outside of your local network.</source>
        <translation>Eine Website-Adresse oder IP-Adresse. Sie können jede beliebige Adresse wählen, solange sie gültig ist und außerhalb Ihres lokalen Netzwerks liegt.</translation>
    </message>
    <message>
        <source>Trigger Port</source>
        <translation>Trigger-Port</translation>
    </message>
    <message>
        <source>Trigger port should be the trigger port set in your router.</source>
        <translation>Der Trigger-Port sollte der im Router eingestellte Trigger-Port sein.</translation>
    </message>
    <message>
        <source>Frequence</source>
        <translation>Intervall</translation>
    </message>
    <message>
        <source>Frequence is how often the software will wait before running the triggering port again.</source>
        <translation>Das Intervall gibt an, wie lange das Programm wartet, bevor es den Trigger-Port erneut anspricht.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>ERROR!</source>
        <translation>FEHLER!</translation>
    </message>
    <message>
        <source>invalid name, please reenter again!</source>
        <translation>Ungültiger Name, bitte erneut eingeben!</translation>
    </message>
    <message>
        <source>the port triggering name has already existed, please reenter again!</source>
        <translation>Diesen Namen hat bereits ein anderes Port-Triggering, bitte einen anderen eingeben!</translation>
    </message>
    <message>
        <source>invalid trigger address, please reenter again!</source>
        <translation>Ungültige Trigger-Adresse, bitte erneut eingeben!</translation>
    </message>
    <message>
        <source>invalid start trigger port, please reenter again!</source>
        <translation>Ungültiger Anfangs-Trigger-Port, bitte erneut eingeben!</translation>
    </message>
    <message>
        <source>invalid frequence, please reenter again!</source>
        <translation>Ungültiges Intervall, bitte erneut eingeben!</translation>
    </message>
</context>
<context>
    <name>CFormView_Client</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation>Protokoll</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Internal IP</source>
        <translation>Interne IP</translation>
    </message>
    <message>
        <source>Port Forwarding entries</source>
        <translation>Einträge der Portweiterleitung</translation>
    </message>
    <message>
        <source>Add into Router</source>
        <translation>In Router eintragen</translation>
    </message>
    <message>
        <source>Ports List</source>
        <translation>Portliste</translation>
    </message>
    <message>
        <source>Port Check</source>
        <translation>Portprüfung</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>CFormView_Server</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Auto Start</source>
        <translation>Autostart</translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation>Protokoll</translation>
    </message>
    <message>
        <source>Trigger Address</source>
        <translation>Trigger-Adresse</translation>
    </message>
    <message>
        <source>Trigger Port(Start)</source>
        <translation>Trigger-Port (Anfang)</translation>
    </message>
    <message>
        <source>Trigger Port(End)</source>
        <translation>Trigger-Port (Ende)</translation>
    </message>
    <message>
        <source>Frequence(ms)</source>
        <translation>Intervall (ms)</translation>
    </message>
    <message>
        <source>Port Triggering entries</source>
        <translation>Einträge des Port-Triggerings</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Starten</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stoppen</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Velmora runs at most %1 trigger workers at once, one for each trigger port of a running entry. These entries were not started: %2</source>
        <translation>Velmora lässt höchstens %1 Trigger-Worker zugleich laufen, einen für jeden Trigger-Port eines laufenden Eintrags. Diese Einträge wurden nicht gestartet: %2</translation>
    </message>
</context>
<context>
    <name>COften_used_ports</name>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Forward...</source>
        <translation>Weiterleiten...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>COption</name>
    <message>
        <source>Option</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>Automatically startup when computer power on </source>
        <translation>Beim Einschalten des Computers automatisch starten </translation>
    </message>
    <message>
        <source>Monitor port forwarding entry change in router</source>
        <translation>Änderungen der Portweiterleitungen im Router überwachen</translation>
    </message>
</context>
<context>
    <name>CRouter_Add_Port</name>
    <message>
        <source>Add Port Forwarding</source>
        <translation>Portweiterleitung hinzufügen</translation>
    </message>
    <message>
        <source>Auto add when the software startup</source>
        <translation>Beim Programmstart automatisch eintragen</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Protocol: </source>
        <translation>Protokoll: </translation>
    </message>
    <message>
        <source>Port: </source>
        <translation>Port: </translation>
    </message>
    <message>
        <source>Could be multiple ports and range. For example:80,443-447,8080</source>
        <translation>Mehrere Ports und Bereiche sind möglich, zum Beispiel: 80,443-447,8080</translation>
    </message>
    <message>
        <source>Destination Port: </source>
        <translation>Zielport: </translation>
    </message>
    <message>
        <source>Internal IP: </source>
        <translation>Interne IP: </translation>
    </message>
    <message>
        <source>For AirPort Station, Internal IP must input Localhost.</source>
        <translation>Für eine AirPort Station muss als interne IP „Localhost“ eingetragen werden.</translation>
    </message>
</context>
<context>
    <name>CRouter_Management</name>
    <message>
        <source>Router Management</source>
        <translation>Routerverwaltung</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation>Protokoll</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Internal IP</source>
        <translation>Interne IP</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Testen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>CStart</name>
    <message>
        <source>Operating...</source>
        <translation>Wird ausgeführt...</translation>
    </message>
</context>
<context>
    <name>CView_IP</name>
    <message>
        <source>View IP</source>
        <translation>IP anzeigen</translation>
    </message>
    <message>
        <source>Local IP:</source>
        <translation>Lokale IP:</translation>
    </message>
    <message>
        <source>External IP: </source>
        <translation>Externe IP: </translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>CXTTrayIconEx</name>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Open Velmora</source>
        <translation>Velmora ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Tray</source>
        <translation>Infobereich</translation>
    </message>
</context>
<context>
    <name>ConfigFile</name>
    <message>
        <source>invalid config file!</source>
        <translation>Ungültige Konfigurationsdatei!</translation>
    </message>
    <message>
        <source>ERROR!</source>
        <translation>FEHLER!</translation>
    </message>
    <message>
        <source>Could not save %1: %2</source>
        <extracomment>%1 is the file&apos;s path, %2 what went wrong.</extracomment>
        <translation>%1 konnte nicht gespeichert werden: %2</translation>
    </message>
</context>
<context>
    <name>CquaymarkDlg</name>
    <message>
        <source>Tabs</source>
        <translation>Registerkarten</translation>
    </message>
    <message>
        <source>Router: </source>
        <translation>Router: </translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Rescan</source>
        <translation>Neu suchen</translation>
    </message>
    <message>
        <source>Searching for your router</source>
        <translation>Ihr Router wird gesucht</translation>
    </message>
    <message>
        <source>router name</source>
        <translation>Routername</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Werkzeuge</translation>
    </message>
    <message>
        <source>Fetch Port Forwarding Entry in Router</source>
        <translation>Portweiterleitungen aus dem Router abrufen</translation>
    </message>
    <message>
        <source>Port Forwarding Tester</source>
        <translation>Portweiterleitung testen</translation>
    </message>
    <message>
        <source>View IP</source>
        <translation>IP anzeigen</translation>
    </message>
    <message>
        <source>View Often Used Ports</source>
        <translation>Häufig genutzte Ports anzeigen</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Ausblenden</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Port Triggering</source>
        <translation>Port-Triggering</translation>
    </message>
    <message>
        <source>Port Forwarding</source>
        <translation>Portweiterleitung</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Could not remove %1: %2</source>
        <translation>%1 konnte nicht entfernt werden: %2</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Menü</translation>
    </message>
</context>
<context>
    <name>Error</name>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>Files</name>
    <message>
        <source>cannot create a new file in %1: %2</source>
        <extracomment>%1 is a folder, %2 the system&apos;s words for the error.</extracomment>
        <translation>In %1 kann keine neue Datei angelegt werden: %2</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <extracomment>%1 is a file, %2 the system&apos;s words for the error.</extracomment>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>cannot flush %1: %2</source>
        <translation>%1 kann nicht auf den Datenträger geschrieben werden: %2</translation>
    </message>
    <message>
        <source>cannot close %1: %2</source>
        <translation>%1 kann nicht geschlossen werden: %2</translation>
    </message>
    <message>
        <source>cannot replace %1: %2</source>
        <translation>%1 kann nicht ersetzt werden: %2</translation>
    </message>
    <message>
        <source>neither XDG_CONFIG_HOME nor HOME names a folder</source>
        <translation>weder XDG_CONFIG_HOME noch HOME nennen einen Ordner</translation>
    </message>
    <message>
        <source>the program&apos;s own path is unknown</source>
        <translation>der Pfad des Programms selbst ist unbekannt</translation>
    </message>
    <message>
        <source>the program&apos;s path holds a character that a desktop entry cannot carry</source>
        <translation>der Pfad des Programms enthält ein Zeichen, das ein Desktop-Eintrag nicht aufnehmen kann</translation>
    </message>
</context>
<context>
    <name>Monitor</name>
    <message>
        <source>Port forwarding &quot;%1&quot;: %2 was missing in the router and has been added again.</source>
        <translation>Portweiterleitung „%1“: %2 fehlte im Router und wurde erneut eingetragen.</translation>
    </message>
    <message>
        <source>Port forwarding &quot;%1&quot;: %2 is missing in the router and could not be added again.</source>
        <translation>Portweiterleitung „%1“: %2 fehlt im Router und konnte nicht erneut eingetragen werden.</translation>
    </message>
    <message>
        <source>Port forwarding &quot;%1&quot;: %2 is no longer in the router.</source>
        <translation>Portweiterleitung „%1“: %2 ist nicht mehr im Router.</translation>
    </message>
    <message>
        <source>Port forwarding &quot;%1&quot;: %2 now leads to %3 instead of %4.</source>
        <extracomment>%3 is the address and port the mapping leads to now, %4 the entry&apos;s internal address.</extracomment>
        <translation>Portweiterleitung „%1“: %2 führt jetzt zu %3 statt zu %4.</translation>
    </message>
    <message>
        <source>Port forwarding &quot;%1&quot;: %2 is in the router again.</source>
        <translation>Portweiterleitung „%1“: %2 ist wieder im Router.</translation>
    </message>
    <message>
        <source>Port forwarding &quot;%1&quot;: %2 has been added again before its lease ran out.</source>
        <translation>Portweiterleitung „%1“: %2 wurde vor Ablauf der Lease-Zeit erneut eingetragen.</translation>
    </message>
    <message>
        <source>Port forwarding &quot;%1&quot;: %2 could not be added again before its lease runs out.</source>
        <translation>Portweiterleitung „%1“: %2 konnte vor Ablauf der Lease-Zeit nicht erneut eingetragen werden.</translation>
    </message>
    <message>
        <source>Auto add: port forwarding &quot;%1&quot;: %2 has been added into the router.</source>
        <translation>Automatisch eintragen: Portweiterleitung „%1“: %2 wurde in den Router eingetragen.</translation>
    </message>
    <message>
        <source>Auto add: port forwarding &quot;%1&quot;: %2 could not be added into the router.</source>
        <translation>Automatisch eintragen: Portweiterleitung „%1“: %2 konnte nicht in den Router eingetragen werden.</translation>
    </message>
    <message>
        <source>Auto add: %1 port numbers outside 1-65535 were not sent to the router.</source>
        <extracomment>%1 is how many port numbers of the entries were left out.</extracomment>
        <translation>Automatisch eintragen: %1 Portnummern außerhalb von 1-65535 wurden nicht an den Router gesendet.</translation>
    </message>
    <message>
        <source>The router does not answer; its port mappings cannot be checked.</source>
        <translation>Der Router antwortet nicht; seine Portweiterleitungen können nicht geprüft werden.</translation>
    </message>
    <message>
        <source>The router answers again.</source>
        <translation>Der Router antwortet wieder.</translation>
    </message>
    <message>
        <source>The router&apos;s external address changed from %1 to %2.</source>
        <extracomment>%1 is the old external address, %2 the new one.</extracomment>
        <translation>Die externe Adresse des Routers hat sich von %1 in %2 geändert.</translation>
    </message>
    <message>
        <source>The router has started afresh and lost its port mappings.</source>
        <translation>Der Router wurde neu gestartet und hat seine Portweiterleitungen verloren.</translation>
    </message>
    <message>
        <source>... and %1 more (see the log).</source>
        <extracomment>The end of a balloon that has more lines than it shows: %1 is how many more.</extracomment>
        <translation>... und %1 weitere (siehe Protokoll).</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 und %2</translation>
    </message>
    <message>
        <source>The router answered the check of its port mappings with error %1; they could not be checked.</source>
        <extracomment>%1 is the router&apos;s error code.</extracomment>
        <translation>Der Router hat die Prüfung seiner Portweiterleitungen mit Fehler %1 beantwortet; sie konnten nicht geprüft werden.</translation>
    </message>
    <message>
        <source>The router&apos;s port mappings can be checked again.</source>
        <translation>Die Portweiterleitungen des Routers lassen sich wieder prüfen.</translation>
    </message>
    <message>
        <source>Auto add: %1 of %2 IPv6 pinholes opened for %3.</source>
        <extracomment>%1 is how many IPv6 pinholes were opened, %2 how many were asked for, %3 this computer&apos;s IPv6 address.</extracomment>
        <translation>Automatisch eintragen: %1 von %2 IPv6-Pinholes für %3 geöffnet.</translation>
    </message>
    <message>
        <source>Auto add: %1 of %2 IPv6 pinholes opened for %3. (%4)</source>
        <extracomment>As the line before, and %4 says why the others were not opened.</extracomment>
        <translation>Automatisch eintragen: %1 von %2 IPv6-Pinholes für %3 geöffnet. (%4)</translation>
    </message>
</context>
<context>
    <name>PortCheck</name>
    <message>
        <source>Port check of &quot;%1&quot;, %2 port %3

</source>
        <extracomment>%1 is the entry&apos;s or mapping&apos;s name, %2 the protocol, %3 the port.</extracomment>
        <translation>Portprüfung von „%1“, %2-Port %3

</translation>
    </message>
    <message>
        <source>1. The router&apos;s port mapping %1 %2: not read (the check ran out of time).
   State: not known
</source>
        <translation>1. Portweiterleitung %1 %2 im Router: nicht gelesen (die Zeit der Prüfung ist abgelaufen).
   Zustand: unbekannt
</translation>
    </message>
    <message>
        <source>1. The router&apos;s port mapping %1 %2: held, forwarded to %3:%4.
   State: %5 (the router lets the port through to its internal client)
</source>
        <extracomment>%3:%4 is where the router forwards the port, %5 a state word.</extracomment>
        <translation>1. Portweiterleitung %1 %2 im Router: vorhanden, weitergeleitet an %3:%4.
   Zustand: %5 (der Router lässt den Port zu seinem internen Client durch)
</translation>
    </message>
    <message>
        <source>1. The router&apos;s port mapping %1 %2: held, forwarded to %3:%4 (not to %5).
   State: %6 (the router lets the port through to its internal client)
</source>
        <extracomment>%3:%4 is where the router forwards the port, %5 where the entry says it should, %6 a state word.</extracomment>
        <translation>1. Portweiterleitung %1 %2 im Router: vorhanden, weitergeleitet an %3:%4 (nicht an %5).
   Zustand: %6 (der Router lässt den Port zu seinem internen Client durch)
</translation>
    </message>
    <message>
        <source>1. The router&apos;s port mapping %1 %2: the router no longer holds it.
   State: %3 (the router does not pass the port on)
</source>
        <extracomment>%3 is a state word.</extracomment>
        <translation>1. Portweiterleitung %1 %2 im Router: Der Router hat sie nicht mehr.
   Zustand: %3 (der Router leitet den Port nicht weiter)
</translation>
    </message>
    <message>
        <source>1. The router&apos;s port mapping %1 %2: the router did not say (%3).
   State: not known
</source>
        <extracomment>%3 is the router&apos;s error (its own words, or &quot;error &lt;number&gt;&quot;).</extracomment>
        <translation>1. Portweiterleitung %1 %2 im Router: Der Router gibt keine Auskunft (%3).
   Zustand: unbekannt
</translation>
    </message>
    <message>
        <source>2. The internal client from this computer: not probed (the check ran out of time).
   State: not known
</source>
        <translation>2. Der interne Client, von diesem Computer aus: nicht geprüft (die Zeit der Prüfung ist abgelaufen).
   Zustand: unbekannt
</translation>
    </message>
    <message>
        <source>2. The internal client from this computer: %1 %2:%3, %4.
   State: %5
</source>
        <extracomment>%1 protocol, %2:%3 the client and port, %4 what the probe saw, %5 a state word.</extracomment>
        <translation>2. Der interne Client, von diesem Computer aus: %1 %2:%3, %4.
   Zustand: %5
</translation>
    </message>
    <message>
        <source>3. The router&apos;s external address: not read (the check ran out of time).
</source>
        <translation>3. Die externe Adresse des Routers: nicht gelesen (die Zeit der Prüfung ist abgelaufen).
</translation>
    </message>
    <message>
        <source>3. The router&apos;s external address: %1
</source>
        <translation>3. Die externe Adresse des Routers: %1
</translation>
    </message>
    <message>
        <source>3. The router&apos;s external address: the router reports none.
</source>
        <translation>3. Die externe Adresse des Routers: Der Router meldet keine.
</translation>
    </message>
    <message>
        <source>3. The router&apos;s external address: not known (%1).
</source>
        <extracomment>%1 is the router&apos;s error (its own words, or &quot;error &lt;number&gt;&quot;).</extracomment>
        <translation>3. Die externe Adresse des Routers: unbekannt (%1).
</translation>
    </message>
    <message>
        <source>
4. Whether the port can be reached from the internet cannot be known from inside
   this network: that needs a check from outside it, from a computer on the internet.
</source>
        <translation>
4. Ob der Port aus dem Internet erreichbar ist, lässt sich innerhalb dieses Netzwerks
   nicht feststellen: Dazu ist eine Prüfung von außen nötig, von einem Computer im Internet.
</translation>
    </message>
    <message>
        <source>error %1</source>
        <extracomment>A UPnP error code the library has no words for.</extracomment>
        <translation>Fehler %1</translation>
    </message>
    <message>
        <source>connection accepted</source>
        <translation>Verbindung angenommen</translation>
    </message>
    <message>
        <source>connection refused</source>
        <translation>Verbindung abgelehnt</translation>
    </message>
    <message>
        <source>no connection (%1)</source>
        <extracomment>%1 is the system&apos;s words for the error.</extracomment>
        <translation>keine Verbindung (%1)</translation>
    </message>
    <message>
        <source>no answer within %1 ms</source>
        <extracomment>%1 is a number of milliseconds.</extracomment>
        <translation>keine Antwort innerhalb von %1 ms</translation>
    </message>
    <message>
        <source>not probed: &quot;%1&quot; is not an IPv4 address</source>
        <translation>nicht geprüft: „%1“ ist keine IPv4-Adresse</translation>
    </message>
    <message>
        <source>not probed: %1</source>
        <extracomment>%1 is the system&apos;s words for the error.</extracomment>
        <translation>nicht geprüft: %1</translation>
    </message>
    <message>
        <source>port unreachable</source>
        <translation>Port nicht erreichbar</translation>
    </message>
    <message>
        <source>a datagram came back</source>
        <translation>ein Datagramm kam zurück</translation>
    </message>
    <message>
        <source>open</source>
        <translation>offen</translation>
    </message>
    <message>
        <source>closed</source>
        <translation>geschlossen</translation>
    </message>
    <message>
        <source>filtered</source>
        <translation>gefiltert</translation>
    </message>
    <message>
        <source>unfiltered</source>
        <translation>ungefiltert</translation>
    </message>
    <message>
        <source>open|filtered</source>
        <translation>offen|gefiltert</translation>
    </message>
    <message>
        <source>closed|filtered</source>
        <translation>geschlossen|gefiltert</translation>
    </message>
</context>
<context>
    <name>PortList</name>
    <message>
        <source>The port range %1 error. The end port should be bigger than start port!</source>
        <extracomment>%1 is the port range as typed.</extracomment>
        <translation>Fehler im Portbereich %1: Der End-Port muss größer als der Anfangs-Port sein!</translation>
    </message>
</context>
<context>
    <name>Ports_List</name>
    <message>
        <source>Ports list in router</source>
        <translation>Portliste im Router</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation>Protokoll</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Internal IP</source>
        <translation>Interne IP</translation>
    </message>
    <message>
        <source>Port Check</source>
        <translation>Portprüfung</translation>
    </message>
    <message>
        <source>Delete from router</source>
        <translation>Aus dem Router löschen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>Problems</name>
    <message>
        <source>the router refused it (%1)</source>
        <extracomment>%1 is the router&apos;s name for the error.</extracomment>
        <translation>der Router hat abgelehnt (%1)</translation>
    </message>
    <message>
        <source>the router refused it</source>
        <translation>der Router hat abgelehnt</translation>
    </message>
    <message>
        <source>the router cannot be reached</source>
        <translation>der Router ist nicht erreichbar</translation>
    </message>
    <message>
        <source>the router&apos;s answer could not be read</source>
        <translation>die Antwort des Routers war nicht lesbar</translation>
    </message>
    <message>
        <source>the router did not answer</source>
        <translation>der Router hat nicht geantwortet</translation>
    </message>
    <message>
        <source>the router&apos;s IPv6 firewall is off: nothing needs opening</source>
        <translation>die IPv6-Firewall des Routers ist aus: Es muss nichts geöffnet werden</translation>
    </message>
    <message>
        <source>the router allows no inbound pinholes</source>
        <translation>der Router erlaubt keine eingehenden Pinholes</translation>
    </message>
    <message>
        <source>the router offers no way to open it</source>
        <translation>der Router bietet keinen Weg, es zu öffnen</translation>
    </message>
    <message>
        <source>the router did not keep it</source>
        <translation>der Router hat es nicht behalten</translation>
    </message>
    <message>
        <source>not sent: no time was left</source>
        <translation>nicht gesendet: Die Zeit war abgelaufen</translation>
    </message>
    <message>
        <source>not sent: the router stopped answering</source>
        <translation>nicht gesendet: Der Router antwortet nicht mehr</translation>
    </message>
    <message>
        <source>the protocol is not TCP or UDP</source>
        <translation>das Protokoll ist weder TCP noch UDP</translation>
    </message>
    <message>
        <source>the gateway offered port %1 instead</source>
        <extracomment>%1 is a port number.</extracomment>
        <translation>das Gateway hat stattdessen Port %1 angeboten</translation>
    </message>
    <message>
        <source>the gateway refused it (%1)</source>
        <extracomment>%1 is the PCP result&apos;s name.</extracomment>
        <translation>das Gateway hat abgelehnt (%1)</translation>
    </message>
    <message>
        <source>the gateway speaks NAT-PMP, not PCP</source>
        <translation>das Gateway spricht NAT-PMP, nicht PCP</translation>
    </message>
    <message>
        <source>the gateway speaks only PCP version %1</source>
        <extracomment>%1 is a PCP version number.</extracomment>
        <translation>das Gateway spricht nur PCP-Version %1</translation>
    </message>
    <message>
        <source>the gateway has no PCP service</source>
        <translation>das Gateway hat keinen PCP-Dienst</translation>
    </message>
    <message>
        <source>the gateway did not answer</source>
        <translation>das Gateway hat nicht geantwortet</translation>
    </message>
    <message>
        <source>the gateway sent %1, not an answer to the request</source>
        <extracomment>%1 says what kind of answer came (&quot;an unreadable answer&quot;, ...).</extracomment>
        <translation>das Gateway hat %1 gesendet, keine Antwort auf die Anfrage</translation>
    </message>
    <message>
        <source>the request could not be sent</source>
        <translation>die Anfrage konnte nicht gesendet werden</translation>
    </message>
    <message>
        <source>no usable gateway address</source>
        <translation>keine brauchbare Gateway-Adresse</translation>
    </message>
    <message>
        <source>cannot send from %1</source>
        <extracomment>%1 is an address of this computer.</extracomment>
        <translation>kann nicht von %1 aus senden</translation>
    </message>
    <message>
        <source>an unreadable answer</source>
        <translation>eine unlesbare Antwort</translation>
    </message>
    <message>
        <source>an answer of PCP version %1</source>
        <extracomment>%1 is a PCP version number.</extracomment>
        <translation>eine Antwort der PCP-Version %1</translation>
    </message>
    <message>
        <source>an answer to another kind of request</source>
        <translation>eine Antwort auf eine andere Art von Anfrage</translation>
    </message>
    <message>
        <source>an answer with another mapping nonce</source>
        <translation>eine Antwort mit einer anderen Mapping-Nonce</translation>
    </message>
    <message>
        <source>an answer for another protocol or port</source>
        <translation>eine Antwort für ein anderes Protokoll oder einen anderen Port</translation>
    </message>
</context>
<context>
    <name>RouterInfo</name>
    <message>
        <source>Connection Type : %1
</source>
        <translation>Verbindungstyp : %1
</translation>
    </message>
    <message>
        <source>Status : %1, uptime=%2s
</source>
        <extracomment>%1 is the router&apos;s status word, %2 its uptime in seconds.</extracomment>
        <translation>Status : %1, Laufzeit=%2 s
</translation>
    </message>
    <message>
        <source>MaxBitRateDown : %1 bps%2   MaxBitRateUp %3 bps%4
</source>
        <extracomment>%1 and %3 are bits per second, %2 and %4 the same in Mbps or Kbps (or nothing).</extracomment>
        <translation>Max. Bitrate empfangen : %1 bit/s%2   Max. Bitrate senden %3 bit/s%4
</translation>
    </message>
    <message>
        <source> (%1.%2 Mbps)</source>
        <extracomment>A bit rate of a million and more: %1 whole megabits, %2 the tenth.</extracomment>
        <translation> (%1,%2 Mbit/s)</translation>
    </message>
    <message>
        <source> (%1 Kbps)</source>
        <translation> (%1 kbit/s)</translation>
    </message>
    <message>
        <source>ExternalIPAddress = %1
</source>
        <translation>Externe IP-Adresse = %1
</translation>
    </message>
    <message>
        <source>Bytes:   Sent: %1	Recv: %2
</source>
        <extracomment>The counters come right-aligned in eight places.</extracomment>
        <translation>Bytes:   Gesendet: %1	Empfangen: %2
</translation>
    </message>
    <message>
        <source>Packets: Sent: %1	Recv: %2
</source>
        <translation>Pakete:  Gesendet: %1	Empfangen: %2
</translation>
    </message>
</context>
<context>
    <name>StoredWords</name>
    <message>
        <source>TCP and UDP</source>
        <translation>TCP und UDP</translation>
    </message>
    <message>
        <source>Both</source>
        <extracomment>The protocol of a forwarding entry: TCP and UDP.</extracomment>
        <translation>Beide</translation>
    </message>
    <message>
        <source>stop</source>
        <extracomment>A trigger&apos;s status.</extracomment>
        <translation>gestoppt</translation>
    </message>
    <message>
        <source>running</source>
        <extracomment>A trigger&apos;s status.</extracomment>
        <translation>läuft</translation>
    </message>
    <message>
        <source>Y</source>
        <extracomment>Yes, in the Auto Start column.</extracomment>
        <translation>Ja</translation>
    </message>
    <message>
        <source>N</source>
        <extracomment>No, in the Auto Start column.</extracomment>
        <translation>Nein</translation>
    </message>
</context>
<context>
    <name>ViewIp</name>
    <message>
        <source>Failed to find a router.Please make sure your router&apos;s UPnP option is enabled.If you still get this error,you should set your windows firewall or other firewall you installed,open port 1900 of UDP and port 2869 of TCP!</source>
        <translation>Es wurde kein Router gefunden. Bitte stellen Sie sicher, dass die UPnP-Option Ihres Routers aktiviert ist. Erscheint dieser Fehler weiterhin, öffnen Sie in der Windows-Firewall oder einer anderen installierten Firewall den UDP-Port 1900 und den TCP-Port 2869!</translation>
    </message>
    <message>
        <source>Failed to get router&apos;s description!</source>
        <translation>Die Beschreibung des Routers konnte nicht abgerufen werden!</translation>
    </message>
    <message>
        <source>Failed to parse router&apos;s description!</source>
        <translation>Die Beschreibung des Routers konnte nicht gelesen werden!</translation>
    </message>
    <message>
        <source>The router&apos;s external address %1 is a private or shared address: another router or the provider&apos;s carrier-grade NAT sits between this router and the internet. A port mapping on this router alone will not make a program on this computer reachable from the internet.</source>
        <extracomment>%1 is the router&apos;s external address.</extracomment>
        <translation>Die externe Adresse %1 des Routers ist eine private oder gemeinsam genutzte Adresse: Zwischen diesem Router und dem Internet liegt ein weiterer Router oder das Carrier-Grade-NAT des Providers. Eine Portweiterleitung allein auf diesem Router macht ein Programm auf diesem Computer nicht aus dem Internet erreichbar.</translation>
    </message>
</context>
<context>
    <name>velmora</name>
    <message>
        <source>Velmora is still running here</source>
        <translation>Velmora läuft hier weiter</translation>
    </message>
    <message>
        <source>You can operate it by dobule-click your mouse left-button or right-button</source>
        <translation>Mit einem Doppelklick der linken oder rechten Maustaste können Sie es bedienen</translation>
    </message>
    <message>
        <source>ERROR!</source>
        <translation>FEHLER!</translation>
    </message>
    <message>
        <source>Often Used Ports</source>
        <translation>Häufig genutzte Ports</translation>
    </message>
    <message>
        <source>Add Often Used Ports</source>
        <translation>Häufig genutzte Ports hinzufügen</translation>
    </message>
    <message>
        <source>Search Application</source>
        <translation>Anwendung suchen</translation>
    </message>
    <message>
        <source>Filter by: </source>
        <translation>Filtern nach: </translation>
    </message>
    <message>
        <source>Application Name: </source>
        <translation>Anwendungsname: </translation>
    </message>
    <message>
        <source>Application Name:  </source>
        <translation>Anwendungsname:  </translation>
    </message>
    <message>
        <source>TCP Ports: </source>
        <translation>TCP-Ports: </translation>
    </message>
    <message>
        <source>UDP Ports: </source>
        <translation>UDP-Ports: </translation>
    </message>
    <message>
        <source>Notice:</source>
        <translation>Hinweis:</translation>
    </message>
    <message>
        <source>port range divided with &apos;-&apos; and multi-ports divided with &apos;,&apos;</source>
        <translation>Portbereiche mit &apos;-&apos; angeben, mehrere Ports mit &apos;,&apos; trennen</translation>
    </message>
    <message>
        <source>example:443,1024-5000,5190 </source>
        <translation>Beispiel: 443,1024-5000,5190 </translation>
    </message>
    <message>
        <source>invalid application name, please reenter again!</source>
        <translation>Ungültiger Anwendungsname, bitte erneut eingeben!</translation>
    </message>
    <message>
        <source> not found!</source>
        <translation> nicht gefunden!</translation>
    </message>
    <message>
        <source>%1 cannot hold &quot;|&quot; or a line end, please reenter again!</source>
        <translation>%1 darf kein „|“ und keinen Zeilenumbruch enthalten, bitte erneut eingeben!</translation>
    </message>
    <message>
        <source>%1 is too long, please reenter again!</source>
        <translation>%1 ist zu lang, bitte erneut eingeben!</translation>
    </message>
    <message>
        <source>1.open: port is opened

2.closed: port is closed

3.filtered: port is blocked by firewall or router

4.unfiltered: port is not blocked, but not sure if it is opened

5.open|filtered: port is opened or filtered

6.closed|filtered: port is closed or filtered</source>
        <translation>1.offen: Der Port ist geöffnet

2.geschlossen: Der Port ist geschlossen

3.gefiltert: Der Port wird von einer Firewall oder dem Router blockiert

4.ungefiltert: Der Port wird nicht blockiert, ob er geöffnet ist, ist aber unklar

5.offen|gefiltert: Der Port ist geöffnet oder gefiltert

6.geschlossen|gefiltert: Der Port ist geschlossen oder gefiltert</translation>
    </message>
    <message>
        <source>Current port forwarding entry in router:</source>
        <translation>Aktuelle Portweiterleitungen im Router:</translation>
    </message>
    <message>
        <source>Failed to get router&apos;s port mappings!</source>
        <translation>Die Portweiterleitungen des Routers konnten nicht abgerufen werden!</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>invalid name, please reenter again!</source>
        <translation>Ungültiger Name, bitte erneut eingeben!</translation>
    </message>
    <message>
        <source>the port forwarding name has already existed, please reenter again!</source>
        <translation>Diesen Namen hat bereits eine andere Portweiterleitung, bitte einen anderen eingeben!</translation>
    </message>
    <message>
        <source>invalid listen port, please reenter again!</source>
        <translation>Ungültiger Port, bitte erneut eingeben!</translation>
    </message>
    <message>
        <source>invalid destination ip address, please reenter again!</source>
        <translation>Ungültige Ziel-IP-Adresse, bitte erneut eingeben!</translation>
    </message>
    <message>
        <source>Failed to add port mapping into router!</source>
        <translation>Die Portweiterleitung konnte nicht in den Router eingetragen werden!</translation>
    </message>
    <message>
        <source>Apple router does not support view ports in router.</source>
        <translation>Bei einem Apple-Router lassen sich die Ports im Router nicht anzeigen.</translation>
    </message>
    <message>
        <source>The router stopped sending its port mappings: the list is not complete.</source>
        <translation>Der Router sendet seine Portweiterleitungen nicht mehr: Die Liste ist unvollständig.</translation>
    </message>
    <message>
        <source>Adding port mappings into router...</source>
        <translation>Portweiterleitungen werden in den Router eingetragen...</translation>
    </message>
    <message>
        <source>Checking the port, please wait...</source>
        <translation>Der Port wird geprüft, bitte warten...</translation>
    </message>
    <message>
        <source>Maintenance</source>
        <translation>Verwaltung</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>Betrieb</translation>
    </message>
    <message>
        <source>Failed to find your router. Please try to login your router, then enable UPnP or NAT-PMP option and try again.</source>
        <translation>Ihr Router wurde nicht gefunden. Bitte melden Sie sich an Ihrem Router an, aktivieren Sie die Option UPnP oder NAT-PMP und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>If the UPnP or NAT-PMP option is enabled and you still see the problem, please try to disable the firewall of your computer and try again. </source>
        <translation>Wenn UPnP oder NAT-PMP aktiviert ist und das Problem weiterhin besteht, deaktivieren Sie bitte die Firewall Ihres Computers und versuchen Sie es erneut. </translation>
    </message>
    <message>
        <source>If you still see the problem, that means our tool can not detect your router due to some network configuration reason. </source>
        <translation>Besteht das Problem dann immer noch, kann unser Programm Ihren Router wegen der Netzwerkkonfiguration nicht erkennen. </translation>
    </message>
    <message>
        <source>Pls click OK button to rescan your router again</source>
        <translation>Bitte klicken Sie auf OK, um erneut nach Ihrem Router zu suchen</translation>
    </message>
    <message>
        <source>Apple router does not support view info.</source>
        <translation>Bei einem Apple-Router lassen sich keine Informationen anzeigen.</translation>
    </message>
    <message>
        <source>Router Info</source>
        <translation>Router-Info</translation>
    </message>
    <message>
        <source>Fail to Find</source>
        <translation>Nicht gefunden</translation>
    </message>
    <message>
        <source>ALL</source>
        <extracomment>The filter item that shows every application.</extracomment>
        <translation>ALLE</translation>
    </message>
    <message>
        <source>The application could not be added to %1: %2.</source>
        <extracomment>%1 is the catalogue file, %2 why it could not be written.</extracomment>
        <translation>Die Anwendung konnte nicht zu %1 hinzugefügt werden: %2.</translation>
    </message>
    <message>
        <source>The router holds more port mappings than the list can show: only the first %1 are listed.</source>
        <translation>Der Router hat mehr Portweiterleitungen, als die Liste zeigen kann: Nur die ersten %1 sind aufgeführt.</translation>
    </message>
    <message>
        <source>This adds %1 port mappings into the router, and Velmora looks after each of them while it runs. Add them?</source>
        <translation>Damit werden %1 Portweiterleitungen in den Router eingetragen, und Velmora überwacht jede davon, solange es läuft. Eintragen?</translation>
    </message>
    <message>
        <source>Version %1 Build on %2</source>
        <extracomment>%1 is the version number, %2 the build date.</extracomment>
        <translation>Version %1, erstellt am %2</translation>
    </message>
    <message>
        <source>(%1)</source>
        <translation>(%1)</translation>
    </message>
    <message>
        <source>IPv4: %1 of %2 port mappings added into the router.</source>
        <translation>IPv4: %1 von %2 Portweiterleitungen in den Router eingetragen.</translation>
    </message>
    <message>
        <source>IPv6: %1 of %2 pinholes opened for %3.</source>
        <translation>IPv6: %1 von %2 Pinholes für %3 geöffnet.</translation>
    </message>
    <message>
        <source>Over IPv6 a program on this computer is reachable at [%1]:port.</source>
        <translation>Über IPv6 ist ein Programm auf diesem Computer unter [%1]:Port erreichbar.</translation>
    </message>
    <message>
        <source>Cancelled before the end.</source>
        <translation>Vor dem Ende abgebrochen.</translation>
    </message>
    <message>
        <source>%1 (IPv6)</source>
        <translation>%1 (IPv6)</translation>
    </message>
    <message>
        <source>%1 (%2 left)</source>
        <translation>%1 (noch %2)</translation>
    </message>
    <message>
        <source>IPv4 port mappings: UPnP</source>
        <translation>IPv4-Portweiterleitungen: UPnP</translation>
    </message>
    <message>
        <source>IPv4 port mappings: PCP</source>
        <translation>IPv4-Portweiterleitungen: PCP</translation>
    </message>
    <message>
        <source>IPv4 port mappings: NAT-PMP</source>
        <translation>IPv4-Portweiterleitungen: NAT-PMP</translation>
    </message>
    <message>
        <source>IPv6 pinholes: UPnP, for %1</source>
        <translation>IPv6-Pinholes: UPnP, für %1</translation>
    </message>
    <message>
        <source>IPv6 pinholes: PCP, for %1</source>
        <translation>IPv6-Pinholes: PCP, für %1</translation>
    </message>
    <message>
        <source>IPv6 pinholes: UPnP, but this computer has no global IPv6 address on the router&apos;s link</source>
        <translation>IPv6-Pinholes: UPnP, aber dieser Computer hat am Anschluss des Routers keine globale IPv6-Adresse</translation>
    </message>
    <message>
        <source>IPv6 pinholes: not offered</source>
        <translation>IPv6-Pinholes: nicht angeboten</translation>
    </message>
    <message>
        <source>IPv6 firewall: not told (%1)</source>
        <translation>IPv6-Firewall: keine Auskunft (%1)</translation>
    </message>
    <message>
        <source>IPv6 firewall: off</source>
        <translation>IPv6-Firewall: aus</translation>
    </message>
    <message>
        <source>IPv6 firewall: on, inbound pinholes allowed</source>
        <translation>IPv6-Firewall: an, eingehende Pinholes erlaubt</translation>
    </message>
    <message>
        <source>IPv6 firewall: on, inbound pinholes not allowed</source>
        <translation>IPv6-Firewall: an, eingehende Pinholes nicht erlaubt</translation>
    </message>
    <message>
        <source>Over IPv6 this router opens pinholes: after Add into Router a program on this computer is reachable from the internet at [%1]:port.</source>
        <translation>Über IPv6 öffnet dieser Router Pinholes: Nach „In Router eintragen“ ist ein Programm auf diesem Computer aus dem Internet unter [%1]:Port erreichbar.</translation>
    </message>
</context>
<context>
    <name>velmora::CAboutDlg</name>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
</context>
<context>
    <name>velmora::CPort_Check</name>
    <message>
        <source>Port Check</source>
        <translation>Portprüfung</translation>
    </message>
    <message>
        <source>Check Report: </source>
        <translation>Prüfbericht: </translation>
    </message>
    <message>
        <source>Check Report:</source>
        <translation>Prüfbericht:</translation>
    </message>
    <message>
        <source>Port State: </source>
        <translation>Portzustand: </translation>
    </message>
</context>
<context>
    <name>velmora::CatalogueReport</name>
    <message>
        <source>Often Used Ports</source>
        <translation>Häufig genutzte Ports</translation>
    </message>
    <message>
        <source>Application Name</source>
        <translation>Anwendungsname</translation>
    </message>
    <message>
        <source>TCP Ports</source>
        <translation>TCP-Ports</translation>
    </message>
    <message>
        <source>UDP Ports</source>
        <translation>UDP-Ports</translation>
    </message>
</context>
</TS>
