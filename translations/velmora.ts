<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<context>
    <name>CAboutDlg</name>
    <message>
        <location filename="../app/ui/CAboutDlg.cpp" line="+16"/>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CAddPort</name>
    <message>
        <location filename="../triggering/ui/CAddPort.cpp" line="+55"/>
        <source>Help: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Add Port Triggering</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Auto port triggering when this software start up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Name: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Protocol: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Trigger Address: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+3"/>
        <source>Trigger Port: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-1"/>
        <source>(Start)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>(End)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Frequence(ms): </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>suggest larger than 100.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Name for this entry, this is used for our software only and doesn&apos;t affect your port triggering.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Protocol</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Protocol type should be the same type set in your router for the port trigger.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Trigger Address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Could be a website address or IP address. This can be anything you like as long as it is a valid address and outside of your local network.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Trigger Port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Trigger port should be the trigger port set in your router.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Frequence</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Frequence is how often the software will wait before running the triggering port again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+55"/>
        <source>ERROR!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+17"/>
        <source>invalid name, please reenter again!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the port triggering name has already existed, please reenter again!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>invalid trigger address, please reenter again!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>invalid start trigger port, please reenter again!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>invalid frequence, please reenter again!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CFormView_Client</name>
    <message>
        <location filename="../forwarding/ui/CFormView_Client.cpp" line="+43"/>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Protocol</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Internal IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Port Forwarding entries</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+310"/>
        <source>Add into Router</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-309"/>
        <source>Ports List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Port Check</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CFormView_Server</name>
    <message>
        <location filename="../triggering/ui/CFormView_Server.cpp" line="+65"/>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto Start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Protocol</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Trigger Address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Trigger Port(Start)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Trigger Port(End)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Frequence(ms)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Port Triggering entries</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+175"/>
        <source>Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Velmora runs at most %1 trigger workers at once, one for each trigger port of a running entry. These entries were not started: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>COften_used_ports</name>
    <message>
        <location filename="../catalogue/ui/COften_used_ports.cpp" line="+37"/>
        <source>Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Forward...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>COption</name>
    <message>
        <location filename="../app/ui/COption.cpp" line="+12"/>
        <source>Option</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Automatically startup when computer power on </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Monitor port forwarding entry change in router</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CPort_Check</name>
    <message>
        <location filename="../forwarding/ui/CPort_Check.cpp" line="+32"/>
        <source>Port Check</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Check Report: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Check Report:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Port State: </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CRouter_Add_Port</name>
    <message>
        <location filename="../forwarding/ui/CRouter_Add_Port.cpp" line="+46"/>
        <source>Add Port Forwarding</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Auto add when the software startup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Protocol: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Port: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Could be multiple ports and range. For example:80,443-447,8080</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Destination Port: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Internal IP: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>For AirPort Station, Internal IP must input Localhost.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CRouter_Management</name>
    <message>
        <location filename="../forwarding/ui/CRouter_Management.cpp" line="+44"/>
        <source>Router Management</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Protocol</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Internal IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Test</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CStart</name>
    <message>
        <location filename="../triggering/ui/CStart.cpp" line="+12"/>
        <location line="+1"/>
        <source>Operating...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CView_IP</name>
    <message>
        <location filename="../upnp/ui/CView_IP.cpp" line="+49"/>
        <source>View IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+3"/>
        <source>Local IP:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+3"/>
        <source>External IP: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+2"/>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+2"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CXTTrayIconEx</name>
    <message>
        <location filename="../app/ui/CXTTrayIconEx.cpp" line="+23"/>
        <source>&amp;Exit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Open Velmora</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CatalogueReport</name>
    <message>
        <location filename="../catalogue/ui/CatalogueReport.cpp" line="+74"/>
        <source>Often Used Ports</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Application Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>TCP Ports</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>UDP Ports</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CquaymarkDlg</name>
    <message>
        <location filename="../app/ui/CquaymarkDlg.cpp" line="+86"/>
        <source>Tabs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+18"/>
        <location line="+4"/>
        <source>Router: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Info</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Rescan</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Searching for your router</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>router name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Tools</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Fetch Port Forwarding Entry in Router</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Port Forwarding Tester</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View Often Used Ports</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Option</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hide</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Exit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Port Triggering</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Port Forwarding</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Error</name>
    <message>
        <location filename="../router/ui/Error.cpp" line="+76"/>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+17"/>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Ports_List</name>
    <message>
        <location filename="../forwarding/ui/Ports_List.cpp" line="+23"/>
        <location line="+6"/>
        <source>Ports list in router</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Protocol</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Internal IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Port Check</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete from router</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>velmora</name>
    <message>
        <location filename="../app/ui/AppTexts.h" line="+17"/>
        <source>Velmora is still running here</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>You can operate it by dobule-click your mouse left-button or right-button</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../catalogue/ui/CatalogueTexts.h" line="+11"/>
        <location filename="../forwarding/ui/ForwardingTexts.h" line="+11"/>
        <source>ERROR!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Often Used Ports</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Add Often Used Ports</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Search Application</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Filter by: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Application Name: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Application Name:  </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>TCP Ports: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>UDP Ports: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Notice:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>port range divided with &apos;-&apos; and multi-ports divided with &apos;,&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>example:443,1024-5000,5190 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>invalid application name, please reenter again!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source> not found!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 cannot hold &quot;|&quot; or a line end, please reenter again!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 is too long, please reenter again!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The application could not be added to %1: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../forwarding/ui/CPort_Check.cpp" line="-25"/>
        <source>1.open: port is opened

2.closed: port is closed

3.filtered: port is blocked by firewall or router

4.unfiltered: port is not blocked, but not sure if it is opened

5.open|filtered: port is opened or filtered

6.closed|filtered: port is closed or filtered</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../forwarding/ui/CRouter_Management.cpp" line="-31"/>
        <source>Current port forwarding entry in router:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Failed to get router&apos;s port mappings!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../forwarding/ui/ForwardingTexts.h" line="+1"/>
        <source>Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>invalid name, please reenter again!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the port forwarding name has already existed, please reenter again!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>invalid listen port, please reenter again!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>invalid destination ip address, please reenter again!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Failed to add port mapping into router!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Apple router does not support view ports in router.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The router stopped sending its port mappings: the list is not complete.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The router holds more port mappings than the list can show: only the first %1 are listed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>This adds %1 port mappings into the router, and Velmora looks after each of them while it runs. Add them?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Add into Router was cancelled: the router took %1 of %2 port mappings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Adding port mappings into router...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Checking the port, please wait...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../router/ui/RouterScanController.cpp" line="+22"/>
        <source>Apple router does not support view info.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Router Info</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../upnp/ui/CView_IP.cpp" line="-45"/>
        <source>Fail to Find</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Over IPv6 this router opens pinholes: after Add into Router a program on this computer is reachable from the internet at [%1]:port.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../platform/ui/ListPage.cpp" line="+19"/>
        <source>Maintenance</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Operation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../router/ui/Error.cpp" line="-43"/>
        <source>Failed to find your router. Please try to login your router, then enable UPnP or NAT-PMP option and try again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>If the UPnP or NAT-PMP option is enabled and you still see the problem, please try to disable the firewall of your computer and try again. </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>If you still see the problem, that means our tool can not detect your router due to some network configuration reason. </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Pls click OK button to rescan your router again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../forwarding/ui/DualStackOutcome.cpp" line="+16"/>
        <source>(%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>IPv4: %1 of %2 port mappings added into the router.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>IPv6: %1 of %2 pinholes opened for %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Over IPv6 a program on this computer is reachable at [%1]:port.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Cancelled before the end.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Auto add: %1 of %2 IPv6 pinholes opened for %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../forwarding/ui/LeaseRows.cpp" line="+30"/>
        <source>%1 (IPv6)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 (%2 left)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../router/ui/OfferLines.cpp" line="+14"/>
        <source>IPv4 port mappings: UPnP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>IPv4 port mappings: PCP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>IPv4 port mappings: NAT-PMP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>IPv6 pinholes: UPnP, for %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>IPv6 pinholes: PCP, for %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>IPv6 pinholes: UPnP, but this computer has no global IPv6 address on the router&apos;s link</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>IPv6 pinholes: not offered</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>IPv6 firewall: not told (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>IPv6 firewall: off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>IPv6 firewall: on, inbound pinholes allowed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>IPv6 firewall: on, inbound pinholes not allowed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
