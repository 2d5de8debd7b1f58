<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CAddPort</name>
    <message>
        <source>Help: </source>
        <translation>帮助：</translation>
    </message>
    <message>
        <source>Add Port Triggering</source>
        <translation>添加端口触发</translation>
    </message>
    <message>
        <source>Auto port triggering when this software start up</source>
        <translation>本软件启动时自动进行端口触发</translation>
    </message>
    <message>
        <source>Name: </source>
        <translation>名称：</translation>
    </message>
    <message>
        <source>Protocol: </source>
        <translation>协议：</translation>
    </message>
    <message>
        <source>Trigger Address: </source>
        <translation>触发地址：</translation>
    </message>
    <message>
        <source>Trigger Port: </source>
        <translation>触发端口：</translation>
    </message>
    <message>
        <source>(Start)</source>
        <translation>（起始）</translation>
    </message>
    <message>
        <source>(End)</source>
        <translation>（结束）</translation>
    </message>
    <message>
        <source>Frequence(ms): </source>
        <translation>间隔（毫秒）：</translation>
    </message>
    <message>
        <source>suggest larger than 100.</source>
        <translation>建议大于 100。</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Name for this entry, this is used for our software only and doesn&apos;t affect your port triggering.</source>
        <translation>此条目的名称，仅供本软件使用，不影响您的端口触发。</translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation>协议</translation>
    </message>
    <message>
        <source>Protocol type should be the same type set in your router for the port trigger.</source>
        <translation>协议类型应与路由器中为该端口触发设置的类型相同。</translation>
    </message>
    <message>
        <source>Trigger Address</source>
        <translation>触发地址</translation>
    </message>
    <message>
        <source>Could be a website address or IP address. This can be anything you like as long as it is a valid address and outside of your local network.</source>
        <translation>可以是网站地址或 IP 地址。只要是有效地址且位于您的本地网络之外，可以任意填写。</translation>
    </message>
    <message>
        <source>Trigger Port</source>
        <translation>触发端口</translation>
    </message>
    <message>
        <source>Trigger port should be the trigger port set in your router.</source>
        <translation>触发端口应为路由器中设置的触发端口。</translation>
    </message>
    <message>
        <source>Frequence</source>
        <translation>间隔</translation>
    </message>
    <message>
        <source>Frequence is how often the software will wait before running the triggering port again.</source>
        <translation>间隔是指软件再次触发端口之前等待的时间。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>ERROR!</source>
        <translation>错误！</translation>
    </message>
    <message>
        <source>invalid name, please reenter again!</source>
        <translation>名称无效，请重新输入！</translation>
    </message>
    <message>
        <source>the port triggering name has already existed, please reenter again!</source>
        <translation>该端口触发名称已存在，请重新输入！</translation>
    </message>
    <message>
        <source>invalid trigger address, please reenter again!</source>
        <translation>触发地址无效，请重新输入！</translation>
    </message>
    <message>
        <source>invalid start trigger port, please reenter again!</source>
        <translation>起始触发端口无效，请重新输入！</translation>
    </message>
    <message>
        <source>invalid frequence, please reenter again!</source>
        <translation>间隔无效，请重新输入！</translation>
    </message>
</context>
<context>
    <name>CFormView_Client</name>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation>协议</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>端口</translation>
    </message>
    <message>
        <source>Internal IP</source>
        <translation>内部 IP</translation>
    </message>
    <message>
        <source>Port Forwarding entries</source>
        <translation>端口转发条目</translation>
    </message>
    <message>
        <source>Add into Router</source>
        <translation>添加到路由器</translation>
    </message>
    <message>
        <source>Ports List</source>
        <translation>端口列表</translation>
    </message>
    <message>
        <source>Port Check</source>
        <translation>端口检查</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>CFormView_Server</name>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Auto Start</source>
        <translation>自动启动</translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation>协议</translation>
    </message>
    <message>
        <source>Trigger Address</source>
        <translation>触发地址</translation>
    </message>
    <message>
        <source>Trigger Port(Start)</source>
        <translation>触发端口（起始）</translation>
    </message>
    <message>
        <source>Trigger Port(End)</source>
        <translation>触发端口（结束）</translation>
    </message>
    <message>
        <source>Frequence(ms)</source>
        <translation>间隔（毫秒）</translation>
    </message>
    <message>
        <source>Port Triggering entries</source>
        <translation>端口触发条目</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>启动</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Velmora runs at most %1 trigger workers at once, one for each trigger port of a running entry. These entries were not started: %2</source>
        <translation>Velmora 同时最多运行 %1 个触发工作线程，每个运行中条目的每个触发端口各占一个。以下条目未启动：%2</translation>
    </message>
</context>
<context>
    <name>COften_used_ports</name>
    <message>
        <source>Search</source>
        <translation>搜索</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Forward...</source>
        <translation>转发...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>COption</name>
    <message>
        <source>Option</source>
        <translation>选项</translation>
    </message>
    <message>
        <source>Automatically startup when computer power on </source>
        <translation>开机时自动启动</translation>
    </message>
    <message>
        <source>Monitor port forwarding entry change in router</source>
        <translation>监视路由器中端口转发条目的变化</translation>
    </message>
</context>
<context>
    <name>CRouter_Add_Port</name>
    <message>
        <source>Add Port Forwarding</source>
        <translation>添加端口转发</translation>
    </message>
    <message>
        <source>Auto add when the software startup</source>
        <translation>软件启动时自动添加</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>名称：</translation>
    </message>
    <message>
        <source>Protocol: </source>
        <translation>协议：</translation>
    </message>
    <message>
        <source>Port: </source>
        <translation>端口：</translation>
    </message>
    <message>
        <source>Could be multiple ports and range. For example:80,443-447,8080</source>
        <translation>可以填写多个端口和端口范围，例如：80,443-447,8080</translation>
    </message>
    <message>
        <source>Destination Port: </source>
        <translation>目标端口：</translation>
    </message>
    <message>
        <source>Internal IP: </source>
        <translation>内部 IP：</translation>
    </message>
    <message>
        <source>For AirPort Station, Internal IP must input Localhost.</source>
        <translation>对于 AirPort Station，内部 IP 必须填写 Localhost。</translation>
    </message>
</context>
<context>
    <name>CRouter_Management</name>
    <message>
        <source>Router Management</source>
        <translation>路由器管理</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation>协议</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>端口</translation>
    </message>
    <message>
        <source>Internal IP</source>
        <translation>内部 IP</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>测试</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>CStart</name>
    <message>
        <source>Operating...</source>
        <translation>正在处理...</translation>
    </message>
</context>
<context>
    <name>CView_IP</name>
    <message>
        <source>View IP</source>
        <translation>查看 IP</translation>
    </message>
    <message>
        <source>Local IP:</source>
        <translation>本地 IP：</translation>
    </message>
    <message>
        <source>External IP: </source>
        <translation>外部 IP：</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>CXTTrayIconEx</name>
    <message>
        <source>&amp;Exit</source>
        <translation>退出(&amp;X)</translation>
    </message>
    <message>
        <source>&amp;Open Velmora</source>
        <translation>打开 Velmora(&amp;O)</translation>
    </message>
    <message>
        <source>Tray</source>
        <translation>托盘</translation>
    </message>
</context>
<context>
    <name>ConfigFile</name>
    <message>
        <source>invalid config file!</source>
        <translation>配置文件无效！</translation>
    </message>
    <message>
        <source>ERROR!</source>
        <translation>错误！</translation>
    </message>
    <message>
        <source>Could not save %1: %2</source>
        <extracomment>%1 is the file&apos;s path, %2 what went wrong.</extracomment>
        <translation>无法保存 %1：%2</translation>
    </message>
</context>
<context>
    <name>CquaymarkDlg</name>
    <message>
        <source>Tabs</source>
        <translation>选项卡</translation>
    </message>
    <message>
        <source>Router: </source>
        <translation>路由器：</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>Rescan</source>
        <translation>重新扫描</translation>
    </message>
    <message>
        <source>Searching for your router</source>
        <translation>正在搜索您的路由器</translation>
    </message>
    <message>
        <source>router name</source>
        <translation>路由器名称</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>工具</translation>
    </message>
    <message>
        <source>Fetch Port Forwarding Entry in Router</source>
        <translation>获取路由器中的端口转发条目</translation>
    </message>
    <message>
        <source>Port Forwarding Tester</source>
        <translation>端口转发测试</translation>
    </message>
    <message>
        <source>View IP</source>
        <translation>查看 IP</translation>
    </message>
    <message>
        <source>View Often Used Ports</source>
        <translation>查看常用端口</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>选项</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>隐藏</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Port Triggering</source>
        <translation>端口触发</translation>
    </message>
    <message>
        <source>Port Forwarding</source>
        <translation>端口转发</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>Could not remove %1: %2</source>
        <translation>无法删除 %1：%2</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>菜单</translation>
    </message>
</context>
<context>
    <name>Error</name>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>Files</name>
    <message>
        <source>cannot create a new file in %1: %2</source>
        <extracomment>%1 is a folder, %2 the system&apos;s words for the error.</extracomment>
        <translation>无法在 %1 中创建新文件：%2</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <extracomment>%1 is a file, %2 the system&apos;s words for the error.</extracomment>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>cannot flush %1: %2</source>
        <translation>无法将 %1 写入磁盘：%2</translation>
    </message>
    <message>
        <source>cannot close %1: %2</source>
        <translation>无法关闭 %1：%2</translation>
    </message>
    <message>
        <source>cannot replace %1: %2</source>
        <translation>无法替换 %1：%2</translation>
    </message>
    <message>
        <source>neither XDG_CONFIG_HOME nor HOME names a folder</source>
        <translation>XDG_CONFIG_HOME 和 HOME 都未指定文件夹</translation>
    </message>
    <message>
        <source>the program&apos;s own path is unknown</source>
        <translation>程序自身的路径未知</translation>
    </message>
    <message>
        <source>the program&apos;s path holds a character that a desktop entry cannot carry</source>
        <translation>程序的路径中含有桌面条目无法容纳的字符</translation>
    </message>
</context>
<context>
    <name>Monitor</name>
    <message>
        <source>Port forwarding &quot;%1&quot;: %2 was missing in the router and has been added again.</source>
        <translation>端口转发“%1”：%2 在路由器中丢失，已重新添加。</translation>
    </message>
    <message>
        <source>Port forwarding &quot;%1&quot;: %2 is missing in the router and could not be added again.</source>
        <translation>端口转发“%1”：%2 在路由器中丢失，无法重新添加。</translation>
    </message>
    <message>
        <source>Port forwarding &quot;%1&quot;: %2 is no longer in the router.</source>
        <translation>端口转发“%1”：%2 已不在路由器中。</translation>
    </message>
    <message>
        <source>Port forwarding &quot;%1&quot;: %2 now leads to %3 instead of %4.</source>
        <extracomment>%3 is the address and port the mapping leads to now, %4 the entry&apos;s internal address.</extracomment>
        <translation>端口转发“%1”：%2 现在指向 %3，而不是 %4。</translation>
    </message>
    <message>
        <source>Port forwarding &quot;%1&quot;: %2 is in the router again.</source>
        <translation>端口转发“%1”：%2 已重新出现在路由器中。</translation>
    </message>
    <message>
        <source>Port forwarding &quot;%1&quot;: %2 has been added again before its lease ran out.</source>
        <translation>端口转发“%1”：%2 已在租期到期前重新添加。</translation>
    </message>
    <message>
        <source>Port forwarding &quot;%1&quot;: %2 could not be added again before its lease runs out.</source>
        <translation>端口转发“%1”：%2 无法在租期到期前重新添加。</translation>
    </message>
    <message>
        <source>Auto add: port forwarding &quot;%1&quot;: %2 has been added into the router.</source>
        <translation>自动添加：端口转发“%1”：%2 已添加到路由器。</translation>
    </message>
    <message>
        <source>Auto add: port forwarding &quot;%1&quot;: %2 could not be added into the router.</source>
        <translation>自动添加：端口转发“%1”：%2 无法添加到路由器。</translation>
    </message>
    <message>
        <source>Auto add: %1 port numbers outside 1-65535 were not sent to the router.</source>
        <extracomment>%1 is how many port numbers of the entries were left out.</extracomment>
        <translation>自动添加：%1 个超出 1-65535 范围的端口号未发送到路由器。</translation>
    </message>
    <message>
        <source>The router does not answer; its port mappings cannot be checked.</source>
        <translation>路由器没有响应，无法检查其端口映射。</translation>
    </message>
    <message>
        <source>The router answers again.</source>
        <translation>路由器已恢复响应。</translation>
    </message>
    <message>
        <source>The router&apos;s external address changed from %1 to %2.</source>
        <extracomment>%1 is the old external address, %2 the new one.</extracomment>
        <translation>路由器的外部地址已从 %1 变为 %2。</translation>
    </message>
    <message>
        <source>The router has started afresh and lost its port mappings.</source>
        <translation>路由器已重新启动，其端口映射已丢失。</translation>
    </message>
    <message>
        <source>... and %1 more (see the log).</source>
        <extracomment>The end of a balloon that has more lines than it shows: %1 is how many more.</extracomment>
        <translation>……另有 %1 条（请查看日志）。</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1，%2</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 和 %2</translation>
    </message>
    <message>
        <source>The router answered the check of its port mappings with error %1; they could not be checked.</source>
        <extracomment>%1 is the router&apos;s error code.</extracomment>
        <translation>路由器对其端口映射的检查返回错误 %1，无法检查这些端口映射。</translation>
    </message>
    <message>
        <source>The router&apos;s port mappings can be checked again.</source>
        <translation>路由器的端口映射已可再次检查。</translation>
    </message>
    <message>
        <source>Auto add: %1 of %2 IPv6 pinholes opened for %3.</source>
        <extracomment>%1 is how many IPv6 pinholes were opened, %2 how many were asked for, %3 this computer&apos;s IPv6 address.</extracomment>
        <translation>自动添加：已为 %3 打开 %2 个 IPv6 针孔中的 %1 个。</translation>
    </message>
    <message>
        <source>Auto add: %1 of %2 IPv6 pinholes opened for %3. (%4)</source>
        <extracomment>As the line before, and %4 says why the others were not opened.</extracomment>
        <translation>自动添加：已为 %3 打开 %2 个 IPv6 针孔中的 %1 个。（%4）</translation>
    </message>
</context>
<context>
    <name>PortCheck</name>
    <message>
        <source>Port check of &quot;%1&quot;, %2 port %3

</source>
        <extracomment>%1 is the entry&apos;s or mapping&apos;s name, %2 the protocol, %3 the port.</extracomment>
        <translation>端口检查：“%1”，%2 端口 %3

</translation>
    </message>
    <message>
        <source>1. The router&apos;s port mapping %1 %2: not read (the check ran out of time).
   State: not known
</source>
        <translation>1. 路由器的端口映射 %1 %2：未读取（检查超时）。
   状态：未知
</translation>
    </message>
    <message>
        <source>1. The router&apos;s port mapping %1 %2: held, forwarded to %3:%4.
   State: %5 (the router lets the port through to its internal client)
</source>
        <extracomment>%3:%4 is where the router forwards the port, %5 a state word.</extracomment>
        <translation>1. 路由器的端口映射 %1 %2：存在，转发到 %3:%4。
   状态：%5（路由器将该端口放行到其内部客户端）
</translation>
    </message>
    <message>
        <source>1. The router&apos;s port mapping %1 %2: held, forwarded to %3:%4 (not to %5).
   State: %6 (the router lets the port through to its internal client)
</source>
        <extracomment>%3:%4 is where the router forwards the port, %5 where the entry says it should, %6 a state word.</extracomment>
        <translation>1. 路由器的端口映射 %1 %2：存在，转发到 %3:%4（而不是 %5）。
   状态：%6（路由器将该端口放行到其内部客户端）
</translation>
    </message>
    <message>
        <source>1. The router&apos;s port mapping %1 %2: the router no longer holds it.
   State: %3 (the router does not pass the port on)
</source>
        <extracomment>%3 is a state word.</extracomment>
        <translation>1. 路由器的端口映射 %1 %2：路由器已不再保留该映射。
   状态：%3（路由器不转发该端口）
</translation>
    </message>
    <message>
        <source>1. The router&apos;s port mapping %1 %2: the router did not say (%3).
   State: not known
</source>
        <extracomment>%3 is the router&apos;s error (its own words, or &quot;error &lt;number&gt;&quot;).</extracomment>
        <translation>1. 路由器的端口映射 %1 %2：路由器未给出答复（%3）。
   状态：未知
</translation>
    </message>
    <message>
        <source>2. The internal client from this computer: not probed (the check ran out of time).
   State: not known
</source>
        <translation>2. 从本计算机探测内部客户端：未探测（检查超时）。
   状态：未知
</translation>
    </message>
    <message>
        <source>2. The internal client from this computer: %1 %2:%3, %4.
   State: %5
</source>
        <extracomment>%1 protocol, %2:%3 the client and port, %4 what the probe saw, %5 a state word.</extracomment>
        <translation>2. 从本计算机探测内部客户端：%1 %2:%3，%4。
   状态：%5
</translation>
    </message>
    <message>
        <source>3. The router&apos;s external address: not read (the check ran out of time).
</source>
        <translation>3. 路由器的外部地址：未读取（检查超时）。
</translation>
    </message>
    <message>
        <source>3. The router&apos;s external address: %1
</source>
        <translation>3. 路由器的外部地址：%1
</translation>
    </message>
    <message>
        <source>3. The router&apos;s external address: the router reports none.
</source>
        <translation>3. 路由器的外部地址：路由器未报告。
</translation>
    </message>
    <message>
        <source>3. The router&apos;s external address: not known (%1).
</source>
        <extracomment>%1 is the router&apos;s error (its own words, or &quot;error &lt;number&gt;&quot;).</extracomment>
        <translation>3. 路由器的外部地址：未知（%1）。
</translation>
    </message>
    <message>
        <source>
4. Whether the port can be reached from the internet cannot be known from inside
   this network: that needs a check from outside it, from a computer on the internet.
</source>
        <translation>
4. 从本网络内部无法得知该端口能否从互联网访问：
   这需要从网络外部，由互联网上的计算机进行检查。
</translation>
    </message>
    <message>
        <source>error %1</source>
        <extracomment>A UPnP error code the library has no words for.</extracomment>
        <translation>错误 %1</translation>
    </message>
    <message>
        <source>connection accepted</source>
        <translation>连接被接受</translation>
    </message>
    <message>
        <source>connection refused</source>
        <translation>连接被拒绝</translation>
    </message>
    <message>
        <source>no connection (%1)</source>
        <extracomment>%1 is the system&apos;s words for the error.</extracomment>
        <translation>无法连接（%1）</translation>
    </message>
    <message>
        <source>no answer within %1 ms</source>
        <extracomment>%1 is a number of milliseconds.</extracomment>
        <translation>%1 毫秒内无应答</translation>
    </message>
    <message>
        <source>not probed: &quot;%1&quot; is not an IPv4 address</source>
        <translation>未探测：“%1”不是 IPv4 地址</translation>
    </message>
    <message>
        <source>not probed: %1</source>
        <extracomment>%1 is the system&apos;s words for the error.</extracomment>
        <translation>未探测：%1</translation>
    </message>
    <message>
        <source>port unreachable</source>
        <translation>端口不可达</translation>
    </message>
    <message>
        <source>a datagram came back</source>
        <translation>收到了返回的数据报</translation>
    </message>
    <message>
        <source>open</source>
        <translation>开放</translation>
    </message>
    <message>
        <source>closed</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>filtered</source>
        <translation>被过滤</translation>
    </message>
    <message>
        <source>unfiltered</source>
        <translation>未被过滤</translation>
    </message>
    <message>
        <source>open|filtered</source>
        <translation>开放|被过滤</translation>
    </message>
    <message>
        <source>closed|filtered</source>
        <translation>关闭|被过滤</translation>
    </message>
</context>
<context>
    <name>PortList</name>
    <message>
        <source>The port range %1 error. The end port should be bigger than start port!</source>
        <extracomment>%1 is the port range as typed.</extracomment>
        <translation>端口范围 %1 有误：结束端口应大于起始端口！</translation>
    </message>
</context>
<context>
    <name>Ports_List</name>
    <message>
        <source>Ports list in router</source>
        <translation>路由器中的端口列表</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation>协议</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>端口</translation>
    </message>
    <message>
        <source>Internal IP</source>
        <translation>内部 IP</translation>
    </message>
    <message>
        <source>Port Check</source>
        <translation>端口检查</translation>
    </message>
    <message>
        <source>Delete from router</source>
        <translation>从路由器中删除</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>Problems</name>
    <message>
        <source>the router refused it (%1)</source>
        <extracomment>%1 is the router&apos;s name for the error.</extracomment>
        <translation>路由器拒绝了该请求（%1）</translation>
    </message>
    <message>
        <source>the router refused it</source>
        <translation>路由器拒绝了该请求</translation>
    </message>
    <message>
        <source>the router cannot be reached</source>
        <translation>无法连接到路由器</translation>
    </message>
    <message>
        <source>the router&apos;s answer could not be read</source>
        <translation>无法读取路由器的应答</translation>
    </message>
    <message>
        <source>the router did not answer</source>
        <translation>路由器没有应答</translation>
    </message>
    <message>
        <source>the router&apos;s IPv6 firewall is off: nothing needs opening</source>
        <translation>路由器的 IPv6 防火墙已关闭：无需打开任何端口</translation>
    </message>
    <message>
        <source>the router allows no inbound pinholes</source>
        <translation>路由器不允许入站针孔</translation>
    </message>
    <message>
        <source>the router offers no way to open it</source>
        <translation>路由器未提供打开它的方式</translation>
    </message>
    <message>
        <source>the router did not keep it</source>
        <translation>路由器没有保留它</translation>
    </message>
    <message>
        <source>not sent: no time was left</source>
        <translation>未发送：时间已用完</translation>
    </message>
    <message>
        <source>not sent: the router stopped answering</source>
        <translation>未发送：路由器已停止应答</translation>
    </message>
    <message>
        <source>the protocol is not TCP or UDP</source>
        <translation>协议不是 TCP 或 UDP</translation>
    </message>
    <message>
        <source>the gateway offered port %1 instead</source>
        <extracomment>%1 is a port number.</extracomment>
        <translation>网关改为提供端口 %1</translation>
    </message>
    <message>
        <source>the gateway refused it (%1)</source>
        <extracomment>%1 is the PCP result&apos;s name.</extracomment>
        <translation>网关拒绝了该请求（%1）</translation>
    </message>
    <message>
        <source>the gateway speaks NAT-PMP, not PCP</source>
        <translation>网关使用 NAT-PMP，而不是 PCP</translation>
    </message>
    <message>
        <source>the gateway speaks only PCP version %1</source>
        <extracomment>%1 is a PCP version number.</extracomment>
        <translation>网关仅支持 PCP 版本 %1</translation>
    </message>
    <message>
        <source>the gateway has no PCP service</source>
        <translation>网关没有 PCP 服务</translation>
    </message>
    <message>
        <source>the gateway did not answer</source>
        <translation>网关没有应答</translation>
    </message>
    <message>
        <source>the gateway sent %1, not an answer to the request</source>
        <extracomment>%1 says what kind of answer came (&quot;an unreadable answer&quot;, ...).</extracomment>
        <translation>网关发送了%1，而不是对该请求的应答</translation>
    </message>
    <message>
        <source>the request could not be sent</source>
        <translation>无法发送该请求</translation>
    </message>
    <message>
        <source>no usable gateway address</source>
        <translation>没有可用的网关地址</translation>
    </message>
    <message>
        <source>cannot send from %1</source>
        <extracomment>%1 is an address of this computer.</extracomment>
        <translation>无法从 %1 发送</translation>
    </message>
    <message>
        <source>an unreadable answer</source>
        <translation>无法读取的应答</translation>
    </message>
    <message>
        <source>an answer of PCP version %1</source>
        <extracomment>%1 is a PCP version number.</extracomment>
        <translation>PCP 版本 %1 的应答</translation>
    </message>
    <message>
        <source>an answer to another kind of request</source>
        <translation>针对另一类请求的应答</translation>
    </message>
    <message>
        <source>an answer with another mapping nonce</source>
        <translation>带有另一个映射随机数的应答</translation>
    </message>
    <message>
        <source>an answer for another protocol or port</source>
        <translation>针对另一个协议或端口的应答</translation>
    </message>
</context>
<context>
    <name>RouterInfo</name>
    <message>
        <source>Connection Type : %1
</source>
        <translation>连接类型：%1
</translation>
    </message>
    <message>
        <source>Status : %1, uptime=%2s
</source>
        <extracomment>%1 is the router&apos;s status word, %2 its uptime in seconds.</extracomment>
        <translation>状态：%1，运行时间=%2 秒
</translation>
    </message>
    <message>
        <source>MaxBitRateDown : %1 bps%2   MaxBitRateUp %3 bps%4
</source>
        <extracomment>%1 and %3 are bits per second, %2 and %4 the same in Mbps or Kbps (or nothing).</extracomment>
        <translation>最大下行速率：%1 bps%2   最大上行速率：%3 bps%4
</translation>
    </message>
    <message>
        <source> (%1.%2 Mbps)</source>
        <extracomment>A bit rate of a million and more: %1 whole megabits, %2 the tenth.</extracomment>
        <translation> (%1.%2 Mbps)</translation>
    </message>
    <message>
        <source> (%1 Kbps)</source>
        <translation> (%1 Kbps)</translation>
    </message>
    <message>
        <source>ExternalIPAddress = %1
</source>
        <translation>外部 IP 地址 = %1
</translation>
    </message>
    <message>
        <source>Bytes:   Sent: %1	Recv: %2
</source>
        <extracomment>The counters come right-aligned in eight places.</extracomment>
        <translation>字节：  发送：%1	接收：%2
</translation>
    </message>
    <message>
        <source>Packets: Sent: %1	Recv: %2
</source>
        <translation>数据包：发送：%1	接收：%2
</translation>
    </message>
</context>
<context>
    <name>StoredWords</name>
    <message>
        <source>TCP and UDP</source>
        <translation>TCP 和 UDP</translation>
    </message>
    <message>
        <source>Both</source>
        <extracomment>The protocol of a forwarding entry: TCP and UDP.</extracomment>
        <translation>TCP 和 UDP</translation>
    </message>
    <message>
        <source>stop</source>
        <extracomment>A trigger&apos;s status.</extracomment>
        <translation>已停止</translation>
    </message>
    <message>
        <source>running</source>
        <extracomment>A trigger&apos;s status.</extracomment>
        <translation>运行中</translation>
    </message>
    <message>
        <source>Y</source>
        <extracomment>Yes, in the Auto Start column.</extracomment>
        <translation>是</translation>
    </message>
    <message>
        <source>N</source>
        <extracomment>No, in the Auto Start column.</extracomment>
        <translation>否</translation>
    </message>
</context>
<context>
    <name>ViewIp</name>
    <message>
        <source>Failed to find a router.Please make sure your router&apos;s UPnP option is enabled.If you still get this error,you should set your windows firewall or other firewall you installed,open port 1900 of UDP and port 2869 of TCP!</source>
        <translation>未找到路由器。请确认已启用路由器的 UPnP 选项。如果仍然出现此错误，请在 Windows 防火墙或您安装的其他防火墙中开放 UDP 端口 1900 和 TCP 端口 2869！</translation>
    </message>
    <message>
        <source>Failed to get router&apos;s description!</source>
        <translation>无法获取路由器的描述！</translation>
    </message>
    <message>
        <source>Failed to parse router&apos;s description!</source>
        <translation>无法解析路由器的描述！</translation>
    </message>
    <message>
        <source>The router&apos;s external address %1 is a private or shared address: another router or the provider&apos;s carrier-grade NAT sits between this router and the internet. A port mapping on this router alone will not make a program on this computer reachable from the internet.</source>
        <extracomment>%1 is the router&apos;s external address.</extracomment>
        <translation>路由器的外部地址 %1 是私有地址或共享地址：在此路由器与互联网之间还有另一台路由器或运营商的运营商级 NAT。仅在此路由器上设置端口映射，无法让本计算机上的程序从互联网访问。</translation>
    </message>
</context>
<context>
    <name>velmora</name>
    <message>
        <source>Velmora is still running here</source>
        <translation>Velmora 仍在此处运行</translation>
    </message>
    <message>
        <source>You can operate it by dobule-click your mouse left-button or right-button</source>
        <translation>您可以用鼠标左键或右键双击来操作它</translation>
    </message>
    <message>
        <source>ERROR!</source>
        <translation>错误！</translation>
    </message>
    <message>
        <source>Often Used Ports</source>
        <translation>常用端口</translation>
    </message>
    <message>
        <source>Add Often Used Ports</source>
        <translation>添加常用端口</translation>
    </message>
    <message>
        <source>Search Application</source>
        <translation>搜索应用程序</translation>
    </message>
    <message>
        <source>Filter by: </source>
        <translation>筛选：</translation>
    </message>
    <message>
        <source>Application Name: </source>
        <translation>应用程序名称：</translation>
    </message>
    <message>
        <source>Application Name:  </source>
        <translation>应用程序名称：</translation>
    </message>
    <message>
        <source>TCP Ports: </source>
        <translation>TCP 端口：</translation>
    </message>
    <message>
        <source>UDP Ports: </source>
        <translation>UDP 端口：</translation>
    </message>
    <message>
        <source>Notice:</source>
        <translation>注意：</translation>
    </message>
    <message>
        <source>port range divided with &apos;-&apos; and multi-ports divided with &apos;,&apos;</source>
        <translation>端口范围用 &apos;-&apos; 连接，多个端口用 &apos;,&apos; 分隔</translation>
    </message>
    <message>
        <source>example:443,1024-5000,5190 </source>
        <translation>例如：443,1024-5000,5190</translation>
    </message>
    <message>
        <source>invalid application name, please reenter again!</source>
        <translation>应用程序名称无效，请重新输入！</translation>
    </message>
    <message>
        <source> not found!</source>
        <translation> 未找到！</translation>
    </message>
    <message>
        <source>%1 cannot hold &quot;|&quot; or a line end, please reenter again!</source>
        <translation>%1 不能包含“|”或换行符，请重新输入！</translation>
    </message>
    <message>
        <source>%1 is too long, please reenter again!</source>
        <translation>%1 太长，请重新输入！</translation>
    </message>
    <message>
        <source>1.open: port is opened

2.closed: port is closed

3.filtered: port is blocked by firewall or router

4.unfiltered: port is not blocked, but not sure if it is opened

5.open|filtered: port is opened or filtered

6.closed|filtered: port is closed or filtered</source>
        <translation>1.开放：端口已打开

2.关闭：端口已关闭

3.被过滤：端口被防火墙或路由器阻止

4.未被过滤：端口未被阻止，但不确定是否已打开

5.开放|被过滤：端口已打开或被过滤

6.关闭|被过滤：端口已关闭或被过滤</translation>
    </message>
    <message>
        <source>Current port forwarding entry in router:</source>
        <translation>路由器中当前的端口转发条目：</translation>
    </message>
    <message>
        <source>Failed to get router&apos;s port mappings!</source>
        <translation>无法获取路由器的端口映射！</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>invalid name, please reenter again!</source>
        <translation>名称无效，请重新输入！</translation>
    </message>
    <message>
        <source>the port forwarding name has already existed, please reenter again!</source>
        <translation>该端口转发名称已存在，请重新输入！</translation>
    </message>
    <message>
        <source>invalid listen port, please reenter again!</source>
        <translation>端口无效，请重新输入！</translation>
    </message>
    <message>
        <source>invalid destination ip address, please reenter again!</source>
        <translation>目标 IP 地址无效，请重新输入！</translation>
    </message>
    <message>
        <source>Failed to add port mapping into router!</source>
        <translation>无法将端口映射添加到路由器！</translation>
    </message>
    <message>
        <source>Apple router does not support view ports in router.</source>
        <translation>Apple 路由器不支持查看路由器中的端口。</translation>
    </message>
    <message>
        <source>The router stopped sending its port mappings: the list is not complete.</source>
        <translation>路由器已停止发送其端口映射：列表不完整。</translation>
    </message>
    <message>
        <source>Adding port mappings into router...</source>
        <translation>正在将端口映射添加到路由器...</translation>
    </message>
    <message>
        <source>Checking the port, please wait...</source>
        <translation>正在检查端口，请稍候...</translation>
    </message>
    <message>
        <source>Maintenance</source>
        <translation>维护</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>操作</translation>
    </message>
    <message>
        <source>Failed to find your router. Please try to login your router, then enable UPnP or NAT-PMP option and try again.</source>
        <translation>未能找到您的路由器。请登录您的路由器，启用 UPnP 或 NAT-PMP 选项后重试。</translation>
    </message>
    <message>
        <source>If the UPnP or NAT-PMP option is enabled and you still see the problem, please try to disable the firewall of your computer and try again. </source>
        <translation>如果已启用 UPnP 或 NAT-PMP 选项但问题仍然存在，请尝试关闭计算机的防火墙后重试。</translation>
    </message>
    <message>
        <source>If you still see the problem, that means our tool can not detect your router due to some network configuration reason. </source>
        <translation>如果问题仍然存在，说明由于某些网络配置原因，我们的工具无法检测到您的路由器。</translation>
    </message>
    <message>
        <source>Pls click OK button to rescan your router again</source>
        <translation>请点击“确定”按钮重新扫描您的路由器</translation>
    </message>
    <message>
        <source>Apple router does not support view info.</source>
        <translation>Apple 路由器不支持查看信息。</translation>
    </message>
    <message>
        <source>Router Info</source>
        <translation>路由器信息</translation>
    </message>
    <message>
        <source>Fail to Find</source>
        <translation>未找到</translation>
    </message>
    <message>
        <source>ALL</source>
        <extracomment>The filter item that shows every application.</extracomment>
        <translation>全部</translation>
    </message>
    <message>
        <source>The application could not be added to %1: %2.</source>
        <extracomment>%1 is the catalogue file, %2 why it could not be written.</extracomment>
        <translation>无法将该应用程序添加到 %1：%2。</translation>
    </message>
    <message>
        <source>The router holds more port mappings than the list can show: only the first %1 are listed.</source>
        <translation>路由器中的端口映射超出了列表可显示的数量：仅列出前 %1 个。</translation>
    </message>
    <message>
        <source>This adds %1 port mappings into the router, and Velmora looks after each of them while it runs. Add them?</source>
        <translation>这将向路由器添加 %1 个端口映射，Velmora 运行期间会监视其中每一个。要添加吗？</translation>
    </message>
    <message>
        <source>Version %1 Build on %2</source>
        <extracomment>%1 is the version number, %2 the build date.</extracomment>
        <translation>版本 %1，构建于 %2</translation>
    </message>
    <message>
        <source>(%1)</source>
        <translation>（%1）</translation>
    </message>
    <message>
        <source>IPv4: %1 of %2 port mappings added into the router.</source>
        <translation>IPv4：已将 %2 个端口映射中的 %1 个添加到路由器。</translation>
    </message>
    <message>
        <source>IPv6: %1 of %2 pinholes opened for %3.</source>
        <translation>IPv6：已为 %3 打开 %2 个针孔中的 %1 个。</translation>
    </message>
    <message>
        <source>Over IPv6 a program on this computer is reachable at [%1]:port.</source>
        <translation>通过 IPv6，本计算机上的程序可通过 [%1]:端口 访问。</translation>
    </message>
    <message>
        <source>Cancelled before the end.</source>
        <translation>在完成前已取消。</translation>
    </message>
    <message>
        <source>%1 (IPv6)</source>
        <translation>%1（IPv6）</translation>
    </message>
    <message>
        <source>%1 (%2 left)</source>
        <translation>%1（剩余 %2）</translation>
    </message>
    <message>
        <source>IPv4 port mappings: UPnP</source>
        <translation>IPv4 端口映射：UPnP</translation>
    </message>
    <message>
        <source>IPv4 port mappings: PCP</source>
        <translation>IPv4 端口映射：PCP</translation>
    </message>
    <message>
        <source>IPv4 port mappings: NAT-PMP</source>
        <translation>IPv4 端口映射：NAT-PMP</translation>
    </message>
    <message>
        <source>IPv6 pinholes: UPnP, for %1</source>
        <translation>IPv6 针孔：UPnP，用于 %1</translation>
    </message>
    <message>
        <source>IPv6 pinholes: PCP, for %1</source>
        <translation>IPv6 针孔：PCP，用于 %1</translation>
    </message>
    <message>
        <source>IPv6 pinholes: UPnP, but this computer has no global IPv6 address on the router&apos;s link</source>
        <translation>IPv6 针孔：UPnP，但本计算机在路由器所在链路上没有全局 IPv6 地址</translation>
    </message>
    <message>
        <source>IPv6 pinholes: not offered</source>
        <translation>IPv6 针孔：未提供</translation>
    </message>
    <message>
        <source>IPv6 firewall: not told (%1)</source>
        <translation>IPv6 防火墙：未告知（%1）</translation>
    </message>
    <message>
        <source>IPv6 firewall: off</source>
        <translation>IPv6 防火墙：关闭</translation>
    </message>
    <message>
        <source>IPv6 firewall: on, inbound pinholes allowed</source>
        <translation>IPv6 防火墙：开启，允许入站针孔</translation>
    </message>
    <message>
        <source>IPv6 firewall: on, inbound pinholes not allowed</source>
        <translation>IPv6 防火墙：开启，不允许入站针孔</translation>
    </message>
    <message>
        <source>Over IPv6 this router opens pinholes: after Add into Router a program on this computer is reachable from the internet at [%1]:port.</source>
        <translation>通过 IPv6，此路由器会打开针孔：执行“添加到路由器”后，本计算机上的程序可从互联网通过 [%1]:端口 访问。</translation>
    </message>
</context>
<context>
    <name>velmora::CAboutDlg</name>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
</context>
<context>
    <name>velmora::CPort_Check</name>
    <message>
        <source>Port Check</source>
        <translation>端口检查</translation>
    </message>
    <message>
        <source>Check Report: </source>
        <translation>检查报告：</translation>
    </message>
    <message>
        <source>Check Report:</source>
        <translation>检查报告：</translation>
    </message>
    <message>
        <source>Port State: </source>
        <translation>端口状态：</translation>
    </message>
</context>
<context>
    <name>velmora::CatalogueReport</name>
    <message>
        <source>Often Used Ports</source>
        <translation>常用端口</translation>
    </message>
    <message>
        <source>Application Name</source>
        <translation>应用程序名称</translation>
    </message>
    <message>
        <source>TCP Ports</source>
        <translation>TCP 端口</translation>
    </message>
    <message>
        <source>UDP Ports</source>
        <translation>UDP 端口</translation>
    </message>
</context>
</TS>
