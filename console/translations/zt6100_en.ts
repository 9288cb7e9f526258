<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>zt6100</name>
    <message>
        <source>ZT6200智能电力监测仪演示软件       V2.0  </source>
        <translation>ZT6200 power monitor demo       V2.0  </translation>
    </message>
    <message>
        <source>技术支持热线：000-0000000 000-0000001</source>
        <translation>Support hotline: 000-0000000 000-0000001</translation>
    </message>
    <message>
        <source>传真：000-0000002</source>
        <translation>Fax: 000-0000002</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>确    定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>退    出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>仪表地址</source>
        <translation>Meter address</translation>
    </message>
    <message>
        <source>无校验</source>
        <translation>None</translation>
    </message>
    <message>
        <source>奇校验</source>
        <translation>Odd</translation>
    </message>
    <message>
        <source>偶校验</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>通讯设置</source>
        <translation>Link settings</translation>
    </message>
    <message>
        <source>通信参数信息</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>系统功能</source>
        <translation>Commands</translation>
    </message>
    <message>
        <source>读参数数据</source>
        <translation>Read parameters</translation>
    </message>
    <message>
        <source>读测量数据</source>
        <translation>Start polling</translation>
    </message>
    <message>
        <source>停止运行</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>写参数数据</source>
        <translation>Write parameters</translation>
    </message>
    <message>
        <source>读开关量状态</source>
        <translation>Read switches</translation>
    </message>
    <message>
        <source>退  出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>测量数据</source>
        <translation>Measurement</translation>
    </message>
    <message>
        <source>实时数据</source>
        <translation>Live value</translation>
    </message>
    <message>
        <source>通讯统计</source>
        <translation>Link statistics</translation>
    </message>
    <message>
        <source>成功次数</source>
        <translation>Successes</translation>
    </message>
    <message>
        <source>失败次数</source>
        <translation>Failures</translation>
    </message>
    <message>
        <source>误码率</source>
        <translation>Error rate</translation>
    </message>
    <message>
        <source>参数数据区</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>上限阀值</source>
        <translation>Upper limit</translation>
    </message>
    <message>
        <source>下限阀值</source>
        <translation>Lower limit</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>小数点</source>
        <translation>Decimals</translation>
    </message>
    <message>
        <source>开关量信息</source>
        <translation>Switches</translation>
    </message>
    <message>
        <source>继电器输出</source>
        <translation>Relay output</translation>
    </message>
    <message>
        <source>开关量输入</source>
        <translation>Switch input</translation>
    </message>
    <message>
        <source>地址信息</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>本机地址</source>
        <translation>Meter address</translation>
    </message>
    <message>
        <source>修改地址</source>
        <translation>Change address</translation>
    </message>
    <message>
        <source>提示信息</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>仪表设置</source>
        <translation>Instrument setup</translation>
    </message>
    <message>
        <source>技术支持</source>
        <translation>About</translation>
    </message>
    <message>
        <source>读仪表时间</source>
        <translation>Read meter clock</translation>
    </message>
    <message>
        <source>开始保存数据</source>
        <translation>Start logging</translation>
    </message>
    <message>
        <source>相电流分析</source>
        <translation>Phase current analysis</translation>
    </message>
    <message>
        <source>ZT6100单相电流表调试-Korvessa</source>
        <translation>ZT6100 single-phase ammeter service - Korvessa</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>ＰＴ</source>
        <translation>PT</translation>
    </message>
    <message>
        <source>ＣＴ</source>
        <translation>CT</translation>
    </message>
    <message>
        <source>3相4线(非平衡)</source>
        <translation>3P4W unbalanced</translation>
    </message>
    <message>
        <source>单相2线</source>
        <translation>1P2W</translation>
    </message>
    <message>
        <source>3相3线(非平衡)</source>
        <translation>3P3W unbalanced</translation>
    </message>
    <message>
        <source>3相3线(平衡)</source>
        <translation>3P3W balanced</translation>
    </message>
    <message>
        <source>单相3线</source>
        <translation>1P3W</translation>
    </message>
    <message>
        <source>3相4线(平衡)</source>
        <translation>3P4W balanced</translation>
    </message>
    <message>
        <source>请输入存储时间间隔：</source>
        <translation>Logging interval:</translation>
    </message>
    <message>
        <source>时</source>
        <translation>h</translation>
    </message>
    <message>
        <source>分</source>
        <translation>min</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>s</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>请输入一个整数。</source>
        <translation>Enter an integer.</translation>
    </message>
    <message>
        <source>请输入一个介于 %1 和 %2 之间的整数。</source>
        <translation>Enter an integer between %1 and %2.</translation>
    </message>
    <message>
        <source>串口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>接线方式</source>
        <translation>Wiring</translation>
    </message>
    <message>
        <source>正在读测量数据...</source>
        <translation>Polling the meter...</translation>
    </message>
    <message>
        <source>已停止读测量数据...</source>
        <translation>Polling stopped...</translation>
    </message>
    <message>
        <source>已读参数数据...</source>
        <translation>Parameters read...</translation>
    </message>
    <message>
        <source>写参数数据...</source>
        <translation>Writing parameters...</translation>
    </message>
    <message>
        <source>修改地址信息...</source>
        <translation>Changing the address...</translation>
    </message>
    <message>
        <source>写数据成功！</source>
        <translation>Parameters written.</translation>
    </message>
    <message>
        <source>写数据不成功</source>
        <translation>Parameters not written</translation>
    </message>
    <message>
        <source>写本机地址成功！</source>
        <translation>Address changed.</translation>
    </message>
    <message>
        <source>写本机地址不成功</source>
        <translation>Address not changed</translation>
    </message>
    <message>
        <source>改变波特率不成功</source>
        <translation>Baud rate not changed</translation>
    </message>
    <message>
        <source>已通知仪表新的波特率，请将网络串口服务器的串口设为 %1 bit/s</source>
        <translation>The meter has been told its new rate: set the serial port of the network serial server to %1 bit/s</translation>
    </message>
    <message>
        <source>设置PT不成功</source>
        <translation>PT not set</translation>
    </message>
    <message>
        <source>设置CT不成功</source>
        <translation>CT not set</translation>
    </message>
    <message>
        <source>设置接线方式不成功</source>
        <translation>Wiring not set</translation>
    </message>
    <message>
        <source>设置仪表参数成功</source>
        <translation>Instrument set up.</translation>
    </message>
    <message>
        <source>读时间不成功</source>
        <translation>Meter clock not read</translation>
    </message>
    <message>
        <source>停止保存数据</source>
        <translation>Stop logging</translation>
    </message>
    <message>
        <source>文件打开不成功</source>
        <translation>Cannot open the log file</translation>
    </message>
    <message>
        <source>串口未打开</source>
        <translation>Port not open</translation>
    </message>
    <message>
        <source>设备已断开</source>
        <translation>Device lost</translation>
    </message>
    <message>
        <source>保存数据失败</source>
        <translation>Logging failing</translation>
    </message>
    <message>
        <source>正在与仪表通讯...</source>
        <translation>Talking to the meter...</translation>
    </message>
    <message>
        <source>本次读测量数据不成功，显示的是上次的数据</source>
        <translation>This poll got no reply; the value shown is the last one read</translation>
    </message>
    <message>
        <source>小数点未读到</source>
        <translation>Decimal point not read</translation>
    </message>
    <message>
        <source>读参数数据不成功:</source>
        <translation>Parameters not read:</translation>
    </message>
    <message>
        <source>读参数数据不成功...</source>
        <translation>Parameters not all read...</translation>
    </message>
    <message>
        <source>请先读参数数据或输入参数，未读也未输入:</source>
        <translation>Read or enter the parameters first; neither read nor entered:</translation>
    </message>
    <message>
        <source>无法启动分析程序 %1: %2</source>
        <translation>Cannot start the analysis program %1: %2</translation>
    </message>
    <message>
        <source>通</source>
        <comment>switch state</comment>
        <translation>ON</translation>
    </message>
    <message>
        <source>断</source>
        <comment>switch state</comment>
        <translation>OFF</translation>
    </message>
    <message>
        <source>合</source>
        <comment>switch state</comment>
        <translation>CLOSED</translation>
    </message>
    <message>
        <source>分</source>
        <comment>switch state</comment>
        <translation>OPEN</translation>
    </message>
    <message>
        <source><byte value="xd"/>
仪表地址: %1 <byte value="xd"/>
<byte value="xd"/>
串口:     %2 <byte value="xd"/>
<byte value="xd"/>
波特率:  %3 <byte value="xd"/>
<byte value="xd"/>
</source>
        <translation><byte value="xd"/>
Address: %1 <byte value="xd"/>
<byte value="xd"/>
Port:    %2 <byte value="xd"/>
<byte value="xd"/>
Baud:    %3 <byte value="xd"/>
<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>校验位:  无校验</source>
        <translation>Parity:  none</translation>
    </message>
    <message>
        <source>校验位: 无校验</source>
        <translation>Parity: none</translation>
    </message>
    <message>
        <source>校验位:  奇校验</source>
        <translation>Parity:  odd</translation>
    </message>
    <message>
        <source>校验位:  偶校验</source>
        <translation>Parity:  even</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
本地回显: 有 (已跳过)</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Local echo: skipped</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
网络串口服务器:<byte value="xd"/>
%1<byte value="xd"/>
%2</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Network serial server:<byte value="xd"/>
%1<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>(波特率由服务器设定)</source>
        <translation>(rate set by the server)</translation>
    </message>
    <message>
        <source>串口 %1 打开不成功：%2</source>
        <translation>Cannot open port %1: %2</translation>
    </message>
    <message>
        <source>存储时间间隔须在 1 秒到 %1 时 %2 分 %3 秒之间。</source>
        <translation>The logging interval must be between 1 s and %1 h %2 min %3 s.</translation>
    </message>
    <message>
        <source>当前时间:  %1年%2月%3日 %4时%5分%6秒</source>
        <translation>Meter clock:  %1-%2-%3 %4:%5:%6</translation>
    </message>
    <message>
        <source>当前用户没有使用该设备的权限：请把用户加入拥有该设备的用户组 %1（sudo usermod -aG %1 $USER），然后注销并重新登录。</source>
        <translation>You may not use this device: add your user to its group %1 (sudo usermod -aG %1 $USER), then log out and in again.</translation>
    </message>
    <message>
        <source>当前用户没有使用该设备的权限：请向管理员申请该设备的读写权限。</source>
        <translation>You may not use this device: ask for read and write permission on it.</translation>
    </message>
    <message>
        <source>COM1 设备</source>
        <translation>COM1 device</translation>
    </message>
    <message>
        <source>COM2 设备</source>
        <translation>COM2 device</translation>
    </message>
    <message>
        <source>COM1 服务器</source>
        <translation>COM1 server</translation>
    </message>
    <message>
        <source>COM2 服务器</source>
        <translation>COM2 server</translation>
    </message>
    <message>
        <source>迟到应答保护(毫秒)</source>
        <translation>Late reply guard (ms)</translation>
    </message>
    <message>
        <source>搜索仪表</source>
        <translation>Find meter</translation>
    </message>
    <message>
        <source>停止搜索</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>搜索 %1 次，最长约 %2 秒</source>
        <translation>%1 tries, at most about %2 s</translation>
    </message>
    <message>
        <source>正在搜索: 地址 %1, %2bps, %3 (%4/%5)</source>
        <translation>Searching: address %1, %2bps, %3 (%4/%5)</translation>
    </message>
    <message>
        <source>找到仪表: 地址 %1, %2bps, %3</source>
        <translation>Meter found: address %1, %2bps, %3</translation>
    </message>
    <message>
        <source>未找到仪表</source>
        <translation>No meter found</translation>
    </message>
    <message>
        <source>已停止搜索</source>
        <translation>Search stopped</translation>
    </message>
    <message>
        <source>（未找到）</source>
        <translation> (not found)</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
上次使用的设备 %1 已不存在，已改用 %2</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
The device used last time, %1, is gone; using %2</translation>
    </message>
    <message>
        <source>网络串口服务器</source>
        <translation>Network serial server</translation>
    </message>
    <message>
        <source>原始 TCP</source>
        <translation>Raw TCP</translation>
    </message>
    <message>
        <source>请输入网络串口服务器的主机名或 IP 地址。</source>
        <translation>Enter the host name or IP address of the network serial server.</translation>
    </message>
    <message>
        <source>“%1”不是有效的主机名或 IP 地址。</source>
        <translation>"%1" is not a valid host name or IP address.</translation>
    </message>
    <message>
        <source>通讯诊断</source>
        <translation>Link diagnostics</translation>
    </message>
    <message>
        <source>通讯监视</source>
        <translation>Frame monitor</translation>
    </message>
    <message>
        <source>通讯帧</source>
        <translation>Exchanges</translation>
    </message>
    <message>
        <source>请求次数</source>
        <translation>Requests</translation>
    </message>
    <message>
        <source>有效应答</source>
        <translation>Valid replies</translation>
    </message>
    <message>
        <source>无有效应答</source>
        <translation>No valid reply</translation>
    </message>
    <message>
        <source>无有效应答的原因</source>
        <translation>Why no valid reply came</translation>
    </message>
    <message>
        <source>应答时间 (毫秒)</source>
        <translation>Reply latency (ms)</translation>
    </message>
    <message>
        <source>最小</source>
        <translation>min</translation>
    </message>
    <message>
        <source>中位数</source>
        <translation>median</translation>
    </message>
    <message>
        <source>最大</source>
        <translation>max</translation>
    </message>
    <message>
        <source>尚无有效应答</source>
        <translation>No valid reply yet</translation>
    </message>
    <message>
        <source>代码 %1: %2</source>
        <translation>code %1: %2</translation>
    </message>
    <message>
        <source>无应答</source>
        <translation>No byte</translation>
    </message>
    <message>
        <source>应答不完整</source>
        <translation>Too few bytes</translation>
    </message>
    <message>
        <source>校验错误</source>
        <translation>Bad CRC</translation>
    </message>
    <message>
        <source>其他地址的应答</source>
        <translation>Reply from another address</translation>
    </message>
    <message>
        <source>异常应答</source>
        <translation>Exception reply</translation>
    </message>
    <message>
        <source>功能码不符</source>
        <translation>Another function</translation>
    </message>
    <message>
        <source>应答与请求不符</source>
        <translation>Reply to another request</translation>
    </message>
    <message>
        <source>应答超时到达</source>
        <translation>Late reply</translation>
    </message>
    <message>
        <source>只有本地回显</source>
        <translation>Local echo only</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>继续</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>保存...</source>
        <translation>Save...</translation>
    </message>
    <message>
        <source>保存通讯记录</source>
        <translation>Save the frames</translation>
    </message>
    <message>
        <source>文本文件 (*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>通讯记录保存失败: %1: %2</source>
        <translation>Could not save the frames to %1: %2</translation>
    </message>
    <message>
        <source>读测量数据</source>
        <comment>poll statistics</comment>
        <translation>Measurement polls</translation>
    </message>
    <message>
        <source>系统功能(&amp;S)</source>
        <translation>&amp;Commands</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>读基本数据(&amp;R)</source>
        <translation>&amp;Read parameters</translation>
    </message>
    <message>
        <source>读测量数据(&amp;P)</source>
        <translation>Start &amp;polling</translation>
    </message>
    <message>
        <source>停止运行(&amp;S)</source>
        <translation>&amp;Stop</translation>
    </message>
    <message>
        <source>写数据(&amp;W)</source>
        <translation>&amp;Write parameters</translation>
    </message>
    <message>
        <source>修改地址(&amp;A)</source>
        <translation>Change &amp;address</translation>
    </message>
    <message>
        <source>开始保存数据(&amp;L)</source>
        <translation>Start &amp;logging</translation>
    </message>
    <message>
        <source>停止保存数据(&amp;L)</source>
        <translation>Stop &amp;logging</translation>
    </message>
    <message>
        <source>仪表设置(&amp;I)</source>
        <translation>&amp;Instrument setup</translation>
    </message>
    <message>
        <source>读仪表时间(&amp;C)</source>
        <translation>Read meter &amp;clock</translation>
    </message>
    <message>
        <source>相电流分析(&amp;N)</source>
        <translation>Phase current a&amp;nalysis</translation>
    </message>
    <message>
        <source>技术支持(&amp;A)</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>通讯诊断(&amp;D)</source>
        <translation>Link &amp;diagnostics</translation>
    </message>
    <message>
        <source>通讯监视(&amp;M)</source>
        <translation>Frame &amp;monitor</translation>
    </message>
    <message>
        <source>文件打开不成功: %1: %2</source>
        <translation>Cannot write the log file: %1: %2</translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>文件为只读</source>
        <translation>the file is read-only</translation>
    </message>
    <message>
        <source>趋势图(&amp;T)</source>
        <translation>&amp;Trend</translation>
    </message>
    <message>
        <source>趋势图</source>
        <translation>Trend</translation>
    </message>
    <message>
        <source>时间范围</source>
        <translation>Span</translation>
    </message>
    <message>
        <source>1 分钟</source>
        <translation>1 min</translation>
    </message>
    <message>
        <source>10 分钟</source>
        <translation>10 min</translation>
    </message>
    <message>
        <source>1 小时</source>
        <translation>1 hour</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>最新值</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>最小值</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>最大值</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>平均值</source>
        <translation>Mean</translation>
    </message>
    <message>
        <source>轮询次数</source>
        <translation>Polls</translation>
    </message>
    <message>
        <source>保存图片...</source>
        <translation>Save image...</translation>
    </message>
    <message>
        <source>保存数据...</source>
        <translation>Save data...</translation>
    </message>
    <message>
        <source>保存趋势图</source>
        <translation>Save the trend</translation>
    </message>
    <message>
        <source>PNG 图片 (*.png)</source>
        <translation>PNG images (*.png)</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>趋势图保存失败: %1: %2</source>
        <translation>Could not save the trend to %1: %2</translation>
    </message>
    <message>
        <source>尚无数据</source>
        <translation>No data yet</translation>
    </message>
    <message>
        <source>已暂停</source>
        <translation>Paused</translation>
    </message>
    <message>
        <source>小数点 %1</source>
        <translation>Decimal point %1</translation>
    </message>
    <message>
        <source>调试检查(&amp;K)</source>
        <translation>Commissioning chec&amp;k</translation>
    </message>
    <message>
        <source>调试检查</source>
        <translation>Commissioning check</translation>
    </message>
    <message>
        <source>zh</source>
        <comment>language of the commissioning report</comment>
        <translation>en</translation>
    </message>
    <message>
        <source>现场配置:</source>
        <translation>Site profile:</translation>
    </message>
    <message>
        <source>选择...</source>
        <translation>Choose...</translation>
    </message>
    <message>
        <source>未选择现场配置</source>
        <translation>No site profile chosen</translation>
    </message>
    <message>
        <source>选择现场配置</source>
        <translation>Choose a site profile</translation>
    </message>
    <message>
        <source>现场配置 (*.json)</source>
        <translation>Site profiles (*.json)</translation>
    </message>
    <message>
        <source>现场配置不能使用: %1</source>
        <translation>The site profile cannot be used: %1</translation>
    </message>
    <message>
        <source>现场: %1    仪表: %2</source>
        <translation>Site: %1    Meter: %2</translation>
    </message>
    <message>
        <source>检查</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>应用</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>保存报告...</source>
        <translation>Save report...</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>正在检查...</source>
        <translation>Checking...</translation>
    </message>
    <message>
        <source>正在应用...</source>
        <translation>Applying...</translation>
    </message>
    <message>
        <source>正在读取: %1</source>
        <translation>Reading: %1</translation>
    </message>
    <message>
        <source>正在读取实时数据...</source>
        <translation>Reading the live value...</translation>
    </message>
    <message>
        <source>正在停止...</source>
        <translation>Stopping...</translation>
    </message>
    <message>
        <source>实时数据: %1 次, 成功 %2 次</source>
        <translation>Live value: %1 polls, %2 replies</translation>
    </message>
    <message>
        <source>最小 %1, 最大 %2, 平均 %3</source>
        <translation>min %1, max %2, mean %3</translation>
    </message>
    <message>
        <source>链路: %1 次交换, 失败 %2 次</source>
        <translation>Link: %1 exchanges, %2 failed</translation>
    </message>
    <message>
        <source>已写入并确认: %1</source>
        <translation>Written and confirmed: %1</translation>
    </message>
    <message>
        <source>未确认: %1 (%2)</source>
        <translation>Not confirmed: %1 (%2)</translation>
    </message>
    <message>
        <source>未写入: %1</source>
        <translation>Not written: %1</translation>
    </message>
    <message>
        <source>不能写入: %1 (%2)</source>
        <translation>Cannot be written: %1 (%2)</translation>
    </message>
    <message>
        <source>控制台已跟随仪表: 地址 %1, %2 bit/s</source>
        <translation>The console follows the meter: address %1, %2 bit/s</translation>
    </message>
    <message>
        <source>保存调试报告</source>
        <translation>Save the commissioning report</translation>
    </message>
    <message>
        <source>PDF 文件 (*.pdf);;HTML 文件 (*.html);;JSON 文件 (*.json)</source>
        <translation>PDF files (*.pdf);;HTML files (*.html);;JSON files (*.json)</translation>
    </message>
    <message>
        <source>调试报告已保存: %1</source>
        <translation>Commissioning report saved: %1</translation>
    </message>
    <message>
        <source>调试报告未能保存: %1</source>
        <translation>The commissioning report was not saved: %1</translation>
    </message>
    <message>
        <source>通讯故障: %1。请检查: %2</source>
        <translation>Link failing: %1. Check: %2</translation>
    </message>
    <message>
        <source>电缆或 USB 转换器</source>
        <translation>the cable or the USB adapter</translation>
    </message>
    <message>
        <source>计数清零(&amp;Z)</source>
        <translation>&amp;Zero the counters</translation>
    </message>
    <message>
        <source>正在通讯，确定退出吗？</source>
        <translation>Communication in progress. Exit anyway?</translation>
    </message>
    <message>
        <source>仪表无应答</source>
        <translation>no reply from the meter</translation>
    </message>
    <message>
        <source>电源、A/B 接线、仪表地址、波特率</source>
        <translation>power, A/B wiring, meter address, baud rate</translation>
    </message>
    <message>
        <source>波特率、校验位、终端电阻、干扰</source>
        <translation>baud rate, parity, termination, noise</translation>
    </message>
    <message>
        <source>应答校验码错误</source>
        <translation>reply with a bad CRC</translation>
    </message>
    <message>
        <source>其他地址的仪表应答</source>
        <translation>reply from a meter at another address</translation>
    </message>
    <message>
        <source>线上另有一台仪表使用该地址</source>
        <translation>another meter on the line uses this address</translation>
    </message>
    <message>
        <source>仪表拒绝: 异常 %1</source>
        <translation>meter refused: exception %1</translation>
    </message>
    <message>
        <source>仪表不接受该寄存器或数值</source>
        <translation>the meter does not accept this register or value</translation>
    </message>
    <message>
        <source>应答的功能码不符</source>
        <translation>reply with another function code</translation>
    </message>
    <message>
        <source>线上另有主站</source>
        <translation>another master on the line</translation>
    </message>
    <message>
        <source>应答的是其他请求</source>
        <translation>reply to another request</translation>
    </message>
    <message>
        <source>仪表应答太迟</source>
        <translation>the meter replied too late</translation>
    </message>
    <message>
        <source>波特率、转换器是否太慢</source>
        <translation>baud rate, a slow converter</translation>
    </message>
    <message>
        <source>只收到转换器的回显</source>
        <translation>only the adapter&apos;s echo came back</translation>
    </message>
    <message>
        <source>电源、A/B 接线、仪表地址</source>
        <translation>power, A/B wiring, meter address</translation>
    </message>
    <message>
        <source>应答字节不全</source>
        <translation>a reply cut short</translation>
    </message>
    <message>
        <source>%1: 键 &quot;%2&quot; %3</source>
        <translation>%1: key &quot;%2&quot; %3</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>第 %1 行第 %2 列: 不是有效的 JSON</source>
        <translation>line %1, column %2: not valid JSON</translation>
    </message>
    <message>
        <source>配置文件必须是一个 JSON 对象</source>
        <translation>the profile must be a JSON object</translation>
    </message>
    <message>
        <source>应为数字</source>
        <translation>must be a number</translation>
    </message>
    <message>
        <source>%1 不是整数</source>
        <translation>%1 is not a whole number</translation>
    </message>
    <message>
        <source>%1 不在 %2 到 %3 之间</source>
        <translation>%1 is outside %2 to %3</translation>
    </message>
    <message>
        <source>%1 不在 %2 到 %3 之间 (0 是广播地址, 没有仪表应答)</source>
        <translation>%1 is outside %2 to %3 (0 is the broadcast address, no meter answers it)</translation>
    </message>
    <message>
        <source>应为字符串</source>
        <translation>must be a string</translation>
    </message>
    <message>
        <source>超过 %1 字节</source>
        <translation>is longer than %1 bytes</translation>
    </message>
    <message>
        <source>%1 不是 1200、2400、4800、9600、19200 之一</source>
        <translation>%1 is not one of 1200, 2400, 4800, 9600, 19200</translation>
    </message>
    <message>
        <source>&quot;%1&quot; 不是 &quot;none&quot;、&quot;odd&quot;、&quot;even&quot; 之一</source>
        <translation>&quot;%1&quot; is not one of &quot;none&quot;, &quot;odd&quot;, &quot;even&quot;</translation>
    </message>
    <message>
        <source>不是配置文件的键 (可用: %1)</source>
        <translation>is not a profile key (known: %1)</translation>
    </message>
    <message>
        <source>%1 大于 upper_limit %2</source>
        <translation>%1 is above upper_limit %2</translation>
    </message>
    <message>
        <source>无法读取: %1</source>
        <translation>cannot be read: %1</translation>
    </message>
    <message>
        <source>有 %1 字节, 超过配置文件上限 %2 字节</source>
        <translation>is %1 bytes, more than a profile&apos;s %2</translation>
    </message>
</context>
</TS>
