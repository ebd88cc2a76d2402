<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AboutDialog</name>
    <message>
        <source>关于 dtutool</source>
        <translation>About dtutool</translation>
    </message>
    <message>
        <source>&lt;h3&gt;DTU参数配置工具 %1&lt;/h3&gt;&lt;p&gt;配置和测试 DTU（经串口连接的蜂窝通信模块）：读写电话号码与通讯ID列表、服务器地址与端口、工作模式、APN、心跳与注册包、时钟、串口与射频参数；读取版本与场强；收发短信与TCP数据；在线升级固件（APP/IAP，CRC-32校验）。&lt;/p&gt;&lt;p&gt;没有设备时可用 &lt;tt&gt;dtutool --simulate&lt;/tt&gt; 连接内置的模拟 DTU。&lt;/p&gt;&lt;p&gt;使用说明（README）：&lt;br&gt;&lt;a href=&quot;%2&quot;&gt;%3&lt;/a&gt;&lt;/p&gt;</source>
        <translation>&lt;h3&gt;DTU Configuration Tool %1&lt;/h3&gt;&lt;p&gt;Configures and tests a DTU (a cellular modem module on a serial line): reads and writes the phone and communication-ID lists, server address and port, working mode, APN, heartbeat and registration packets, clock, serial and RF settings; reads the version and signal strength; sends and receives SMS and TCP data; upgrades the firmware online (APP/IAP, CRC-32 check).&lt;/p&gt;&lt;p&gt;Without a device, &lt;tt&gt;dtutool --simulate&lt;/tt&gt; connects to the built-in simulated DTU.&lt;/p&gt;&lt;p&gt;Instructions (README):&lt;br&gt;&lt;a href=&quot;%2&quot;&gt;%3&lt;/a&gt;&lt;/p&gt;</translation>
    </message>
    <message>
        <source>中文</source>
        <translation>Chinese</translation>
    </message>
    <message>
        <source>英文</source>
        <translation>English</translation>
    </message>
    <message>
        <source>下次启动时生效</source>
        <translation>Takes effect at the next start</translation>
    </message>
    <message>
        <source>界面语言(&amp;L):</source>
        <translation>&amp;Language:</translation>
    </message>
    <message>
        <source>下次启动时生效。</source>
        <translation>Takes effect at the next start.</translation>
    </message>
</context>
<context>
    <name>BenchModel</name>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>本机ID</source>
        <translation>Own ID</translation>
    </message>
    <message>
        <source>版本</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>场强</source>
        <translation>Signal</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>进度</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>%1 秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>用时</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>标签</source>
        <translation>Label</translation>
    </message>
</context>
<context>
    <name>BenchPage</name>
    <message>
        <source>批量操作</source>
        <translation>Bench</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>每行一个端口：勾选的端口一起读取、写入或升级，各自显示进度和结果</source>
        <translation>One row per port: the checked ports are read, written or upgraded together, each with its own progress and result</translation>
    </message>
    <message>
        <source>/dev/ttyUSB0 或 rfc2217://主机:端口</source>
        <translation>/dev/ttyUSB0 or rfc2217://host:port</translation>
    </message>
    <message>
        <source>把输入的端口加入列表，下次启动仍在</source>
        <translation>Adds the typed port to the list; it is there at the next start too</translation>
    </message>
    <message>
        <source>读取每个勾选端口上 DTU 的本机ID、版本和场强</source>
        <translation>Reads the own ID, version and signal of the DTU on every checked port</translation>
    </message>
    <message>
        <source>选一个配置文件，写入每个勾选的 DTU 并读回核对</source>
        <translation>Choose one profile and write it to every checked DTU, reading it back</translation>
    </message>
    <message>
        <source>把一个固件文件发给每个勾选的 DTU</source>
        <translation>Sends one firmware image to every checked DTU</translation>
    </message>
    <message>
        <source>每个进行中的操作在下一个安全点停止</source>
        <translation>Every running job stops at its next safe point</translation>
    </message>
    <message>
        <source>最近一次操作的汇总</source>
        <translation>Summary of the last run</translation>
    </message>
    <message>
        <source>另一程序</source>
        <translation>another program</translation>
    </message>
    <message>
        <source>没有勾选的端口：请先勾选要操作的端口。</source>
        <translation>No port is checked: check the ports to work on first.</translation>
    </message>
    <message>
        <source>等待</source>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>打开端口</source>
        <translation>Opening the port</translation>
    </message>
    <message>
        <source>读取 %1</source>
        <translation>Reading %1</translation>
    </message>
    <message>
        <source>写入 %1</source>
        <translation>Writing %1</translation>
    </message>
    <message>
        <source>核对 %1</source>
        <translation>Verifying %1</translation>
    </message>
    <message>
        <source>升级</source>
        <translation>Upgrading</translation>
    </message>
    <message>
        <source>一致</source>
        <translation>Verified</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>Success</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>%1 项不一致</source>
        <translation>%1 differ</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>失败：%1</source>
        <translation>Failed: %1</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>配置文件 (*.toml);;所有文件 (*)</source>
        <translation>Profiles (*.toml);;All files (*)</translation>
    </message>
    <message>
        <source>配置文件有错误，没有写入任何 DTU：
%1</source>
        <translation>The profile has errors; nothing was written to any DTU:
%1</translation>
    </message>
    <message>
        <source>以哪种方式升级 %1？</source>
        <translation>How should %1 be sent?</translation>
    </message>
    <message>
        <source>APP升级</source>
        <translation>APP Upgrade</translation>
    </message>
    <message>
        <source>IAP升级</source>
        <translation>IAP Upgrade</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>固件文件不能使用：%1</source>
        <translation>The image cannot be used: %1</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>报告没有保存：%1</source>
        <translation>The report was not saved: %1</translation>
    </message>
    <message>
        <source>写入结果：%1</source>
        <translation>Write report: %1</translation>
    </message>
    <message>
        <source>全部 %1 项写入后读回一致。</source>
        <translation>All %1 settings read back as written.</translation>
    </message>
    <message>
        <source>%1 项读回不一致。</source>
        <translation>%1 settings read back different.</translation>
    </message>
    <message>
        <source>DTU 无应答</source>
        <translation>no answer from the DTU</translation>
    </message>
    <message>
        <source>%1 无应答</source>
        <translation>no answer to %1</translation>
    </message>
    <message>
        <source>端口断开</source>
        <translation>the port went away</translation>
    </message>
    <message>
        <source>服务器关闭了连接</source>
        <translation>the server closed the connection</translation>
    </message>
    <message>
        <source>DTU 拒绝了固件（DCK）</source>
        <translation>the DTU refused the image (DCK)</translation>
    </message>
    <message>
        <source>（已确认 %1/%2 块）</source>
        <translation> (%1/%2 blocks acknowledged)</translation>
    </message>
    <message>
        <source>打开每台 DTU 的作业记录</source>
        <translation>Open the records of the jobs on each DTU</translation>
    </message>
    <message>
        <source>不能记录，没有操作任何 DTU：%1</source>
        <translation>Cannot record; no DTU was touched: %1</translation>
    </message>
    <message>
        <source>波特率(&amp;B)</source>
        <translation>&amp;Baud rate</translation>
    </message>
    <message>
        <source>校验(&amp;C)</source>
        <translation>Parity (&amp;C)</translation>
    </message>
    <message>
        <source>操作员(&amp;O)</source>
        <translation>&amp;Operator</translation>
    </message>
    <message>
        <source>添加端口(&amp;P)</source>
        <translation>Add &amp;port</translation>
    </message>
    <message>
        <source>添加(&amp;D)</source>
        <translation>A&amp;dd</translation>
    </message>
    <message>
        <source>全选(&amp;A)</source>
        <translation>Check &amp;All</translation>
    </message>
    <message>
        <source>全不选(&amp;N)</source>
        <translation>Check &amp;None</translation>
    </message>
    <message>
        <source>只勾选失败的(&amp;F)</source>
        <translation>Check &amp;Failed Only</translation>
    </message>
    <message>
        <source>只勾选上次操作失败或读回不一致的端口，以便重做</source>
        <translation>Checks only the ports whose last job failed or read back different, to run them again</translation>
    </message>
    <message>
        <source>读取信息(&amp;R)</source>
        <translation>&amp;Read Info</translation>
    </message>
    <message>
        <source>写入配置(&amp;W)…</source>
        <translation>&amp;Write Profile…</translation>
    </message>
    <message>
        <source>升级固件(&amp;U)…</source>
        <translation>&amp;Upgrade Firmware…</translation>
    </message>
    <message>
        <source>停止(&amp;S)</source>
        <translation>&amp;Stop</translation>
    </message>
    <message>
        <source>导出报告(&amp;E)…</source>
        <translation>&amp;Export Report…</translation>
    </message>
    <message>
        <source>把上次操作过的每行的结果存为 CSV 文件</source>
        <translation>Saves the result of every row the last run worked on as a CSV file</translation>
    </message>
    <message>
        <source>记录(&amp;L)</source>
        <translation>Records (&amp;L)</translation>
    </message>
    <message>
        <source>%1 已在列表中。</source>
        <translation>%1 is already in the list.</translation>
    </message>
    <message>
        <source>%1 不是可用的网络端口：请写成 rfc2217://主机:端口 或 socket://主机:端口。</source>
        <translation>%1 is not a usable network port: write rfc2217://host:port or socket://host:port.</translation>
    </message>
    <message>
        <source>找不到设备 %1：请输入存在的串口设备路径，如 /dev/ttyUSB0，或网络端口 rfc2217://主机:端口。</source>
        <translation>Device %1 not found: type the path of a serial device that exists, such as /dev/ttyUSB0, or a network port rfc2217://host:port.</translation>
    </message>
    <message>
        <source>未操作：主窗口正在使用这个端口</source>
        <translation>Not worked on: the main window uses this port</translation>
    </message>
    <message>
        <source>未操作：端口被 %1 占用</source>
        <translation>Not worked on: the port is held by %1</translation>
    </message>
    <message>
        <source>已跳过</source>
        <translation>Skipped</translation>
    </message>
    <message>
        <source>；记录待送达</source>
        <translation>; record waiting</translation>
    </message>
    <message>
        <source>；记录未完成</source>
        <translation>; record not completed</translation>
    </message>
    <message>
        <source>完成 %1/%2</source>
        <translation>Done %1/%2</translation>
    </message>
    <message>
        <source>，失败 %1</source>
        <translation>, failed %1</translation>
    </message>
    <message>
        <source>，已停止 %1</source>
        <translation>, stopped %1</translation>
    </message>
    <message>
        <source>，跳过 %1</source>
        <translation>, skipped %1</translation>
    </message>
    <message>
        <source>%1 设置了本机ID %2：写入勾选的 %3 台 DTU 会使它们的本机ID都是 %2。
要给每台 DTU 各自的本机ID，请一台一台写入。</source>
        <translation>%1 sets the own ID %2: writing it to the %3 checked DTUs gives every one of them the own ID %2.
To give each DTU an own ID of its own, write them one at a time.</translation>
    </message>
    <message>
        <source>都写入同一个本机ID</source>
        <translation>Write the Same Own ID to All</translation>
    </message>
    <message>
        <source>固件 (*.bin);;所有文件 (*)</source>
        <translation>Firmware (*.bin);;All files (*)</translation>
    </message>
    <message>
        <source>测试 %1</source>
        <translation>Testing %1</translation>
    </message>
    <message>
        <source>测试(&amp;T)…</source>
        <translation>&amp;Test…</translation>
    </message>
    <message>
        <source>选一个测试方案，测试每个勾选的 DTU：版本、场强、经测试服务器的注册、心跳和双向数据</source>
        <translation>Choose a test plan and test every checked DTU: version, signal, registration through the test server, heartbeat and data both ways</translation>
    </message>
    <message>
        <source>测试方案 (*.toml);;所有文件 (*)</source>
        <translation>Test plans (*.toml);;All files (*)</translation>
    </message>
    <message>
        <source>测试方案有错误，没有测试任何 DTU：
%1</source>
        <translation>The test plan has errors; no DTU was tested:
%1</translation>
    </message>
    <message>
        <source>测试方案按范围分配本机ID，这要由记录存放处分配，而记录已关闭。没有测试任何 DTU。</source>
        <translation>The test plan hands out own IDs from a range, which the records store does, and records are off. No DTU was tested.</translation>
    </message>
    <message>
        <source>测试服务器无法在 %1:%2 监听：%3。没有测试任何 DTU。</source>
        <translation>The test server cannot listen on %1:%2: %3. No DTU was tested.</translation>
    </message>
    <message>
        <source>通过</source>
        <translation>Passed</translation>
    </message>
    <message>
        <source>测试结果：%1</source>
        <translation>Test result: %1</translation>
    </message>
    <message>
        <source>测量</source>
        <translation>Measurement</translation>
    </message>
    <message>
        <source>值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>单位</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>下限</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>上限</source>
        <translation>High</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>测试的每一步：测得的值、它的限值和是否通过</source>
        <translation>Each step of the test: the value measured, its limit and whether it passed</translation>
    </message>
    <message>
        <source>本机ID %1  标签 %2  %3</source>
        <translation>Own ID %1  Label %2  %3</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>通过 %1/%2</source>
        <translation>Passed %1/%2</translation>
    </message>
    <message>
        <source>这些端口的标签与上次测试的相同，换上的新 DTU 需要扫描新标签：
%1

同一台 DTU 重测时才保留。</source>
        <translation>These ports have the labels of their last test; a new DTU put on the port needs its own label scanned:
%1

Keep them only to test the same DTU again.</translation>
    </message>
    <message>
        <source>同一台 DTU，重测</source>
        <translation>Same DTU, Test Again</translation>
    </message>
</context>
<context>
    <name>CommandsDialog</name>
    <message>
        <source>编辑快捷命令</source>
        <translation>Edit Quick Commands</translation>
    </message>
    <message>
        <source>快捷命令(&amp;L):</source>
        <translation>Quick commands (&amp;L):</translation>
    </message>
    <message>
        <source>按钮名称</source>
        <translation>Button name</translation>
    </message>
    <message>
        <source>发送内容</source>
        <translation>Content to send</translation>
    </message>
    <message>
        <source>每行一条命令：按钮名称、发送内容、是否按十六进制发送</source>
        <translation>One command per row: button name, content to send, whether it is sent as hex</translation>
    </message>
    <message>
        <source>添加(&amp;A)</source>
        <translation>&amp;Add</translation>
    </message>
    <message>
        <source>删除(&amp;D)</source>
        <translation>&amp;Delete</translation>
    </message>
</context>
<context>
    <name>DtuListsGroup</name>
    <message>
        <source>序列编号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>手机号码管理</source>
        <translation>Phone Numbers</translation>
    </message>
    <message>
        <source>增加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>电话号码</source>
        <translation>Phone number</translation>
    </message>
    <message>
        <source>DTU 的授权电话号码列表</source>
        <translation>The DTU&apos;s authorised phone numbers</translation>
    </message>
    <message>
        <source>号码:</source>
        <translation>Number:</translation>
    </message>
    <message>
        <source>通讯ID管理</source>
        <translation>Communication IDs</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>MAC地址</source>
        <translation>MAC address</translation>
    </message>
    <message>
        <source>DTU 的通讯 ID 列表</source>
        <translation>The DTU&apos;s communication IDs</translation>
    </message>
    <message>
        <source>通讯ID:</source>
        <translation>ID:</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Set</translation>
    </message>
</context>
<context>
    <name>DtuPacketsGroup</name>
    <message>
        <source>运营商管理</source>
        <translation>Carrier</translation>
    </message>
    <message>
        <source>设置APN</source>
        <translation>Set APN</translation>
    </message>
    <message>
        <source>心跳自定义</source>
        <translation>Heartbeat</translation>
    </message>
    <message>
        <source>以十六进制显示心跳和注册包，并在所有十六进制输入框中只接受十六进制数字</source>
        <translation>Shows the heartbeat and registration packets as hex, and makes every hex field take only hex digits</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>心跳:</source>
        <translation>Heartbeat:</translation>
    </message>
    <message>
        <source>注册:</source>
        <translation>Register:</translation>
    </message>
</context>
<context>
    <name>DtuPage</name>
    <message>
        <source>提示！</source>
        <translation>Notice!</translation>
    </message>
    <message>
        <source>DTU参数设置</source>
        <translation>DTU Settings</translation>
    </message>
    <message>
        <source>产品型号:</source>
        <translation>Model:</translation>
    </message>
    <message>
        <source>就绪</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>运行正常</source>
        <translation>Running</translation>
    </message>
    <message>
        <source>页面状态</source>
        <translation>Page state</translation>
    </message>
    <message>
        <source>请求与应答状态</source>
        <translation>Request and answer state</translation>
    </message>
    <message>
        <source>运行状态</source>
        <translation>Running state</translation>
    </message>
</context>
<context>
    <name>DtuProfileGroup</name>
    <message>
        <source>配置文件 (*.toml);;所有文件 (*)</source>
        <translation>Profiles (*.toml);;All files (*)</translation>
    </message>
    <message>
        <source>全部读取</source>
        <translation>Read All</translation>
    </message>
    <message>
        <source>全部写入</source>
        <translation>Write All</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>整机配置</source>
        <translation>Whole DTU</translation>
    </message>
    <message>
        <source>依次读取本型号的全部参数</source>
        <translation>Reads every setting of this model, one after the other</translation>
    </message>
    <message>
        <source>写入页面上本型号的全部参数并逐项读回核对</source>
        <translation>Writes every setting of this model that the page shows and reads each back to compare</translation>
    </message>
    <message>
        <source>保存配置…</source>
        <translation>Save Profile…</translation>
    </message>
    <message>
        <source>把页面上的参数保存为配置文件（dtuctl 可用）</source>
        <translation>Saves the page&apos;s settings as a profile (dtuctl reads it too)</translation>
    </message>
    <message>
        <source>载入配置…</source>
        <translation>Load Profile…</translation>
    </message>
    <message>
        <source>从配置文件填入页面，不发送</source>
        <translation>Fills the page from a profile, sends nothing</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>%1 %2/%3 …</source>
        <translation>%1 %2/%3 …</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>全部读取完成</source>
        <translation>Read all: done</translation>
    </message>
    <message>
        <source>全部写入完成</source>
        <translation>Write all: done</translation>
    </message>
    <message>
        <source>，无应答：</source>
        <translation>; no answer: </translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>全部写入结果</source>
        <translation>Write All: Result</translation>
    </message>
    <message>
        <source>全部 %1 项写入后读回一致。</source>
        <translation>All %1 settings read back as written.</translation>
    </message>
    <message>
        <source>%1 项读回不一致，%2 个请求无应答。</source>
        <translation>%1 settings read back differently; %2 requests were not answered.</translation>
    </message>
    <message>
        <source>无法保存配置文件 %1：%2</source>
        <translation>Cannot save profile %1: %2</translation>
    </message>
    <message>
        <source>配置已保存</source>
        <translation>Profile saved</translation>
    </message>
    <message>
        <source>配置文件有误，页面没有改动：
</source>
        <translation>The profile has faults; the page was not changed:
</translation>
    </message>
    <message>
        <source>配置已载入（未发送）</source>
        <translation>Profile loaded (not sent)</translation>
    </message>
    <message>
        <source>Not written: %1: the %2 page cannot set them.</source>
        <translation>Not written: %1: the %2 page cannot set them.</translation>
    </message>
    <message>
        <source>不能记录，没有写入：%1</source>
        <translation>Cannot record; nothing was written: %1</translation>
    </message>
</context>
<context>
    <name>DtuResetGroup</name>
    <message>
        <source>系统复位</source>
        <translation>System</translation>
    </message>
    <message>
        <source>重启DTU</source>
        <translation>Restart DTU</translation>
    </message>
    <message>
        <source>无线配置</source>
        <translation>Wireless</translation>
    </message>
</context>
<context>
    <name>DtuSerialGroup</name>
    <message>
        <source>串口参数管理</source>
        <translation>DTU Serial Port</translation>
    </message>
    <message>
        <source>写入参数</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>读取参数</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>波特率:</source>
        <translation>Baud rate:</translation>
    </message>
    <message>
        <source>效验位:</source>
        <translation>Parity:</translation>
    </message>
    <message>
        <source>选择方式:</source>
        <translation>Interface:</translation>
    </message>
    <message>
        <source>时间配置</source>
        <translation>Clock</translation>
    </message>
    <message>
        <source>设置时间</source>
        <translation>Set Clock</translation>
    </message>
    <message>
        <source>读取时间</source>
        <translation>Read Clock</translation>
    </message>
</context>
<context>
    <name>DtuServerGroup</name>
    <message>
        <source>TCP服务器管理</source>
        <translation>TCP Server</translation>
    </message>
    <message>
        <source>设置IP地址</source>
        <translation>IP address</translation>
    </message>
    <message>
        <source>设置域名</source>
        <translation>Domain name</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>远程IP:</source>
        <translation>Remote IP:</translation>
    </message>
    <message>
        <source>远程域名:</source>
        <translation>Domain:</translation>
    </message>
    <message>
        <source>远程端口:</source>
        <translation>Remote port:</translation>
    </message>
    <message>
        <source>工作模式</source>
        <translation>Working Mode</translation>
    </message>
    <message>
        <source>协议传输</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>透明传输</source>
        <translation>Transparent</translation>
    </message>
    <message>
        <source>短信US2编码</source>
        <translation>SMS US2</translation>
    </message>
    <message>
        <source>短信HEX编码</source>
        <translation>SMS HEX</translation>
    </message>
    <message>
        <source>协议传输的选项</source>
        <translation>Options of protocol transfer</translation>
    </message>
    <message>
        <source>透明传输的方式</source>
        <translation>Kind of transparent transfer</translation>
    </message>
    <message>
        <source>模式</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>模式配置</source>
        <translation>Set Mode</translation>
    </message>
    <message>
        <source>默认配置</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>读网络参数</source>
        <translation>Read Network</translation>
    </message>
</context>
<context>
    <name>DtuVersionGroup</name>
    <message>
        <source>版本/场强信息</source>
        <translation>Version / Signal</translation>
    </message>
    <message>
        <source>读版本</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>读场强</source>
        <translation>Signal</translation>
    </message>
</context>
<context>
    <name>FailingChart</name>
    <message>
        <source>%1 失败 %2 次</source>
        <translation>%1 failed: %2</translation>
    </message>
    <message>
        <source>没有失败的测量项</source>
        <translation>No measurement failed</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>另有 %1 项，见提示</source>
        <translation>%1 more, see the tip</translation>
    </message>
</context>
<context>
    <name>LoginDialog</name>
    <message>
        <source>输入口令:</source>
        <translation>Enter password:</translation>
    </message>
    <message>
        <source>登录</source>
        <translation>Log in</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>输入口令错误,请重新输入！</source>
        <translation>Wrong password, please enter it again!</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>错误！</source>
        <translation>Error!</translation>
    </message>
    <message>
        <source>  不能进行DTU参数设置，请检查系统
设置中是否打开可用串口！</source>
        <translation>  Cannot configure the DTU: check that a usable
serial port is open in Settings!</translation>
    </message>
    <message>
        <source>  不能进行短信发送，请检查系统
设置中是否打开可用串口！</source>
        <translation>  Cannot send SMS: check that a usable
serial port is open in Settings!</translation>
    </message>
    <message>
        <source>  不能进行透明传输，请检查系统
设置中是否打开可用串口！</source>
        <translation>  Cannot transfer transparently: check that a usable
serial port is open in Settings!</translation>
    </message>
    <message>
        <source>  不能进行TCP传输，请检查系统
设置中是否打开可用串口！</source>
        <translation>  Cannot transfer TCP data: check that a usable
serial port is open in Settings!</translation>
    </message>
    <message>
        <source>DTU参数配置工具-------Norvale V1.1</source>
        <translation>DTU Configuration Tool-------Norvale V1.1</translation>
    </message>
    <message>
        <source>系统设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>DTU参数设置</source>
        <translation>DTU Settings</translation>
    </message>
    <message>
        <source>US2编码短信</source>
        <translation>SMS US2</translation>
    </message>
    <message>
        <source>HEX编码短信</source>
        <translation>SMS HEX</translation>
    </message>
    <message>
        <source>TCP透传</source>
        <translation>TCP</translation>
    </message>
    <message>
        <source>在线升级</source>
        <translation>Upgrade</translation>
    </message>
    <message>
        <source>调试工具</source>
        <translation>Terminal</translation>
    </message>
    <message>
        <source>公司主页</source>
        <translation>Home Page</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>线路监视</source>
        <translation>Line Monitor</translation>
    </message>
    <message>
        <source>测试服务器</source>
        <translation>Test Server</translation>
    </message>
    <message>
        <source>系统参数设置(&amp;E)</source>
        <translation>S&amp;ettings</translation>
    </message>
    <message>
        <source>DTU参数设置(&amp;V)</source>
        <translation>DTU Settings (&amp;V)</translation>
    </message>
    <message>
        <source>短信传输(&amp;S)</source>
        <translation>&amp;SMS</translation>
    </message>
    <message>
        <source>透明传输(&amp;T)</source>
        <translation>&amp;Transparent SMS</translation>
    </message>
    <message>
        <source>TCP传输(&amp;P)</source>
        <translation>TC&amp;P</translation>
    </message>
    <message>
        <source>线路监视(&amp;M)</source>
        <translation>Line &amp;Monitor</translation>
    </message>
    <message>
        <source>测试服务器(&amp;N)</source>
        <translation>Test Server (&amp;N)</translation>
    </message>
    <message>
        <source>选择(&amp;C)</source>
        <translation>&amp;Choose</translation>
    </message>
    <message>
        <source>关于 Tavrin(&amp;A)...</source>
        <translation>&amp;About Tavrin...</translation>
    </message>
    <message>
        <source>用工具栏或右键菜单打开各功能页。
先在“系统设置”中打开串口。</source>
        <translation>Open the pages from the toolbar or the right-click menu.
Open the serial port in &quot;Settings&quot; first.</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>信息</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>串口 %1 已断开（设备被拔出或线路已关闭），该串口已关闭。
请检查连接后在“系统设置”中重新打开。</source>
        <translation>Serial port %1 was lost (the device was pulled or the line closed); the port is closed.
Check the connection, then open it again in &quot;Settings&quot;.</translation>
    </message>
    <message>
        <source>网络端口 %1 的连接已断开（服务器关闭了连接、网络中断，或该端口正被另一用户使用），该端口已关闭。
请检查服务器和网络后在“系统设置”中重新打开。</source>
        <translation>The connection to the network port %1 was lost (the server closed it, the network failed, or another user has the port); the port is closed.
Check the server and the network, then open it again in &quot;Settings&quot;.</translation>
    </message>
    <message>
        <source>用工具栏或右键菜单打开各功能页。</source>
        <translation>Open the pages from the toolbar or the right-click menu.</translation>
    </message>
    <message>
        <source>No web browser could be started. The address, to copy:
%1</source>
        <translation>No web browser could be started. The address, to copy:
%1</translation>
    </message>
    <message>
        <source>批量操作</source>
        <translation>Bench</translation>
    </message>
    <message>
        <source>批量操作(&amp;B)</source>
        <translation>&amp;Bench</translation>
    </message>
    <message>
        <source>记录(&amp;R)</source>
        <translation>&amp;Records</translation>
    </message>
</context>
<context>
    <name>MonitorWindow</name>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>长度</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>字节</source>
        <translation>Bytes</translation>
    </message>
    <message>
        <source>含义</source>
        <translation>Meaning</translation>
    </message>
    <message>
        <source>线路监视</source>
        <translation>Line Monitor</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>接收</source>
        <translation>Received</translation>
    </message>
    <message>
        <source>方向(&amp;D)：</source>
        <translation>&amp;Direction:</translation>
    </message>
    <message>
        <source>全部命令</source>
        <translation>All commands</translation>
    </message>
    <message>
        <source>数据帧（短信/TCP/透传）</source>
        <translation>Data frames (SMS/TCP/transparent)</translation>
    </message>
    <message>
        <source>命令(&amp;M)：</source>
        <translation>Co&amp;mmand:</translation>
    </message>
    <message>
        <source>暂停(&amp;P)</source>
        <translation>&amp;Pause</translation>
    </message>
    <message>
        <source>暂停时照常记录，表格在继续后补上</source>
        <translation>Recording goes on while paused; the table catches up on resume</translation>
    </message>
    <message>
        <source>清除(&amp;L)</source>
        <translation>C&amp;lear</translation>
    </message>
    <message>
        <source>复制(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>把选中的行作为文本复制到剪贴板</source>
        <translation>Copies the selected rows to the clipboard as text</translation>
    </message>
    <message>
        <source>保存(&amp;S)…</source>
        <translation>&amp;Save…</translation>
    </message>
    <message>
        <source>把表格中的行保存为文本或 CSV 文件</source>
        <translation>Saves the table&apos;s rows as a text or CSV file</translation>
    </message>
    <message>
        <source>表格中的帧数</source>
        <translation>Frames in the table</translation>
    </message>
    <message>
        <source>线路上的帧</source>
        <translation>Frames on the line</translation>
    </message>
    <message>
        <source>%1 帧</source>
        <translation>%1 frames</translation>
    </message>
    <message>
        <source>继续(&amp;P)</source>
        <translation>Resume (&amp;P)</translation>
    </message>
    <message>
        <source>;;文本 (*.txt);;所有文件 (*)</source>
        <translation>;;Text (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>错误！</source>
        <translation>Error!</translation>
    </message>
    <message>
        <source>无法写入文件 %1。</source>
        <translation>Cannot write file %1.</translation>
    </message>
    <message>
        <source>收到但未能记录的字节数</source>
        <translation>Received bytes that could not be recorded</translation>
    </message>
</context>
<context>
    <name>PeriodsChart</name>
    <message>
        <source>没有通过或失败的测试</source>
        <translation>No test passed or failed</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>%1：通过 %2，失败 %3</source>
        <translation>%1: passed %2, failed %3</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>通过</source>
        <translation>Passed</translation>
    </message>
    <message>
        <source>最近 %1 小时</source>
        <translation>The latest %1 hours</translation>
    </message>
    <message>
        <source>最近 %1 天</source>
        <translation>The latest %1 days</translation>
    </message>
</context>
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>Folder</translation>
    </message>
</context>
<context>
    <name>Records</name>
    <message>
        <source>记录库未能收到记录的结果（%1）：结果已存放在本机，记录库恢复后送达。</source>
        <translation>The records store did not take the record&apos;s end (%1): it is kept on this station and delivered when the store answers again.</translation>
    </message>
    <message>
        <source>记录未能完成：%1</source>
        <translation>The record could not be completed: %1</translation>
    </message>
</context>
<context>
    <name>RecordsModel</name>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>升级</source>
        <translation>Upgrade</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>中断</source>
        <translation>Interrupted</translation>
    </message>
    <message>
        <source>没有结束的记录：作业被中断，或仍在进行</source>
        <translation>No end recorded: the job was cut short, or is still running</translation>
    </message>
    <message>
        <source>开始时间</source>
        <translation>Started</translation>
    </message>
    <message>
        <source>结束时间</source>
        <translation>Ended</translation>
    </message>
    <message>
        <source>本机ID</source>
        <translation>Unit ID</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Action</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>版本</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>工作站</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>操作员</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>详情</source>
        <translation>Detail</translation>
    </message>
    <message>
        <source>%1

记录中的原文：%2</source>
        <translation>%1

As recorded: %2</translation>
    </message>
    <message>
        <source>测试</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>出错</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>本机ID %1，标签 %2</source>
        <translation>Unit ID %1, label %2</translation>
    </message>
    <message>
        <source>通过</source>
        <translation>Passed</translation>
    </message>
</context>
<context>
    <name>RecordsPage</name>
    <message>
        <source>记录</source>
        <translation>Records</translation>
    </message>
    <message>
        <source>记录已关闭：作业不留记录，这里没有可显示的。</source>
        <translation>Records are off: jobs leave no record, and there is none to show here.</translation>
    </message>
    <message>
        <source>无法打开记录：
%1</source>
        <translation>The records cannot be opened:
%1</translation>
    </message>
    <message>
        <source>筛选</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>重新读取记录 (F5)</source>
        <translation>Reads the records again (F5)</translation>
    </message>
    <message>
        <source>导出…</source>
        <translation>Export…</translation>
    </message>
    <message>
        <source>把符合筛选的全部记录存为 CSV 文件，与 dtuctl records --csv 相同</source>
        <translation>Saves every record the filter matches as a CSV file, as dtuctl records --csv writes them</translation>
    </message>
    <message>
        <source>表中记录的数目</source>
        <translation>How many records the table holds</translation>
    </message>
    <message>
        <source>读取更多记录失败：%1</source>
        <translation>More records could not be read: %1</translation>
    </message>
    <message>
        <source>无法读取记录：
%1</source>
        <translation>The records cannot be read:
%1</translation>
    </message>
    <message>
        <source>已显示最新的 %1 条记录，向下滚动显示更多</source>
        <translation>The newest %1 records shown; scroll down for more</translation>
    </message>
    <message>
        <source>没有记录</source>
        <translation>No records</translation>
    </message>
    <message>
        <source>没有符合“%1”的记录</source>
        <translation>No records match “%1”</translation>
    </message>
    <message>
        <source>共 %1 条记录</source>
        <translation>%1 records</translation>
    </message>
    <message>
        <source>共 %1 条记录符合“%2”</source>
        <translation>%1 records match “%2”</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>记录没有导出：%1</source>
        <translation>The records were not exported: %1</translation>
    </message>
    <message>
        <source>已把 %1 条记录导出到 %2</source>
        <translation>%1 records exported to %2</translation>
    </message>
    <message>
        <source>存放位置：%1</source>
        <translation>Kept in: %1</translation>
    </message>
    <message>
        <source>无（记录已关闭）</source>
        <translation>nowhere (records are off)</translation>
    </message>
    <message>
        <source>位置…</source>
        <translation>Place…</translation>
    </message>
    <message>
        <source>选择记录存放的 SQLite 文件或 PostgreSQL 数据库</source>
        <translation>Choose the SQLite file or PostgreSQL database that keeps the records</translation>
    </message>
    <message>
        <source>位置由环境变量 DTUTOOL_RECORDS 指定</source>
        <translation>The place is set by the environment variable DTUTOOL_RECORDS</translation>
    </message>
    <message>
        <source>记录存放位置</source>
        <translation>Where records are kept</translation>
    </message>
    <message>
        <source>SQLite 文件的路径、off（不记录），或 postgresql://用户@主机/数据库。
留空为默认文件 ~/.local/share/dtutool/records.sqlite。密码请放在 ~/.pgpass。</source>
        <translation>The path of an SQLite file, off (no records), or postgresql://USER@HOST/DATABASE.
Empty for the default file ~/.local/share/dtutool/records.sqlite. Keep a password in ~/.pgpass.</translation>
    </message>
    <message>
        <source>正在连接记录存放处…</source>
        <translation>Connecting to the records store…</translation>
    </message>
    <message>
        <source>已显示最新的 %1 条记录，按“%2”排列，向下滚动显示更多</source>
        <translation>Showing the newest %1 records by “%2”; scroll down for more</translation>
    </message>
    <message>
        <source>；另有 %1 条记录的结果在本机等待送达</source>
        <translation>; %1 more record end(s) wait on this station</translation>
    </message>
    <message>
        <source>正在读取记录…</source>
        <translation>Reading the records…</translation>
    </message>
    <message>
        <source>正在导出到 %1…</source>
        <translation>Exporting to %1…</translation>
    </message>
    <message>
        <source>本机ID、标签、端口、操作、结果或详情</source>
        <translation>Unit ID, label, port, action, result or detail</translation>
    </message>
    <message>
        <source>产量</source>
        <translation>Yield</translation>
    </message>
    <message>
        <source>在表上方显示表中测试的单位数、合格率、每天的测试和失败最多的测量项</source>
        <translation>Shows above the table the units tested among its records, their yield, the tests per day and the measurements that failed most</translation>
    </message>
    <message>
        <source>每行一次作业，最新的在前：开始和结束时间、本机ID（测试的还有标签）、操作、结果和详情</source>
        <translation>One job a row, the newest first: start and end, unit ID (and a test&apos;s label), action, result and detail</translation>
    </message>
    <message>
        <source>无法读取产量：%1</source>
        <translation>Cannot read the yield: %1</translation>
    </message>
</context>
<context>
    <name>RfDialog</name>
    <message>
        <source>无线参数配置页</source>
        <translation>Wireless Settings</translation>
    </message>
    <message>
        <source>无线频率</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>休眠周期</source>
        <translation>Sleep period</translation>
    </message>
    <message>
        <source>呼吸时间</source>
        <translation>Breathing time</translation>
    </message>
    <message>
        <source>网络地址</source>
        <translation>Network address</translation>
    </message>
    <message>
        <source>发送功率</source>
        <translation>Transmit power</translation>
    </message>
    <message>
        <source>提示！</source>
        <translation>Notice!</translation>
    </message>
</context>
<context>
    <name>SerialSettingsPage</name>
    <message>
        <source>%1 只允许 %2 组的用户打开，当前用户不在该组。执行下面的命令，然后注销并重新登录（新的登录才带有该组）：</source>
        <translation>%1 may be opened only by users of the group %2, and the current user is not in it. Run the command below, then log out and in again (the group counts from the next login):</translation>
    </message>
    <message>
        <source>当前用户已加入 %1 组，但本次登录早于此，还不带有该组：请注销并重新登录；在此之前，可在下面命令打开的终端中启动本工具：</source>
        <translation>The current user was added to the group %1, but this login began before that and lacks the group: log out and in again; until then, start the tool in a shell opened by the command below:</translation>
    </message>
    <message>
        <source>%1 正被 ModemManager（进程 %2）占用：它向一切像调制解调器的设备发送 AT 命令，DTU 也不例外。用下面的 udev 规则让它忽略串口适配器，或停止它（sudo systemctl stop ModemManager）：</source>
        <translation>%1 is held by ModemManager (process %2), which sends AT commands to anything that looks like a modem, a DTU included. Make it ignore serial adapters with the udev rule below, or stop it (sudo systemctl stop ModemManager):</translation>
    </message>
    <message>
        <source>%1 正被 %2（进程 %3）占用。请关闭该程序，或结束它：</source>
        <translation>%1 is held by %2 (process %3). Close that program, or end it:</translation>
    </message>
    <message>
        <source>ModemManager 正在运行，且没有 udev 规则让它忽略串口适配器：它可能打开 DTU 的串口并发送 AT 命令。安装下面的规则，或停止它（sudo systemctl stop ModemManager）：</source>
        <translation>ModemManager is running and no udev rule tells it to leave serial adapters alone: it may open a DTU&apos;s port and send it AT commands. Install the rule below, or stop it (sudo systemctl stop ModemManager):</translation>
    </message>
    <message>
        <source>USB %1 上的 CH340/CH341 适配器没有串口：盲文显示服务 brltty 占用了这类适配器。卸载 brltty（若使用盲文显示器，请改为停用其针对 1a86:7523 的规则），然后重新插拔适配器：</source>
        <translation>The CH340/CH341 adapter at USB %1 has no serial port: brltty, the braille display service, claims these adapters. Remove brltty (if you use a braille display, disable its rule for 1a86:7523 instead), then plug the adapter in again:</translation>
    </message>
    <message>
        <source>串口参数配置</source>
        <translation>Serial Port Settings</translation>
    </message>
    <message>
        <source>串口参数</source>
        <translation>Serial Port</translation>
    </message>
    <message>
        <source>串   口：</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>波特率：</source>
        <translation>Baud rate:</translation>
    </message>
    <message>
        <source>效   验：</source>
        <translation>Parity:</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>断开后自动重新连接</source>
        <translation>Reconnect automatically</translation>
    </message>
    <message>
        <source>打开的 USB 串口被拔出后，再次插入时以相同设置自动重新打开</source>
        <translation>When the open USB serial adapter is pulled and plugged in again, it is reopened with the same settings</translation>
    </message>
    <message>
        <source>打开失败的原因</source>
        <translation>Why the port did not open</translation>
    </message>
    <message>
        <source>自动重新连接的状态</source>
        <translation>State of the automatic reconnection</translation>
    </message>
    <message>
        <source>串口缺失的原因及解决命令</source>
        <translation>Why ports are missing, and the commands that fix it</translation>
    </message>
    <message>
        <source>没有找到可以打开的串口。</source>
        <translation>No serial port that can be opened was found.</translation>
    </message>
    <message>
        <source>请从列表中选择波特率和效验位。</source>
        <translation>Choose the baud rate and parity from the lists.</translation>
    </message>
    <message>
        <source>已取消自动重新连接 %1。</source>
        <translation>Automatic reconnection of %1 cancelled.</translation>
    </message>
    <message>
        <source>串口 %1 已断开。插回同一设备（%2）后，将以相同设置（%3 波特，%4）自动重新打开。</source>
        <translation>Serial port %1 was lost. When the same device (%2) is plugged in again, it is reopened with the same settings (%3 baud, %4).</translation>
    </message>
    <message>
        <source>已重新打开 %1（%2 波特，%3），与断开前的设置相同。断开时中止的传输不会自动继续，请重新开始。</source>
        <translation>%1 was reopened (%2 baud, %3), with the settings it had before. A transfer that the loss ended does not go on by itself; start it again.</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>可选择或输入设备路径；/dev/serial/by-id/ 下的名称在重新插拔后不变。也可输入网络端口 rfc2217://主机:端口 或 socket://主机:端口</source>
        <translation>Choose or type a device path; the names under /dev/serial/by-id/ stay the same after a replug. A network port can be typed too: rfc2217://HOST:PORT or socket://HOST:PORT</translation>
    </message>
    <message>
        <source>网络端口的连接与线路设置</source>
        <translation>The network port&apos;s connection and line settings</translation>
    </message>
    <message>
        <source>正在连接 %1 …</source>
        <translation>Connecting to %1 …</translation>
    </message>
    <message>
        <source>已取消连接 %1。</source>
        <translation>Connecting to %1 was cancelled.</translation>
    </message>
    <message>
        <source>已连接 %1。socket:// 端口的波特率和效验位由服务器决定，本页的设置对它不起作用。</source>
        <translation>Connected to %1. A socket:// port&apos;s baud rate and parity are the server&apos;s; the settings on this page do not apply to it.</translation>
    </message>
    <message>
        <source>已连接 %1，服务器已确认线路设置：%2 波特，%3，8 位数据位，1 位停止位。</source>
        <translation>Connected to %1; the server confirmed the line: %2 baud, %3, 8 data bits, 1 stop bit.</translation>
    </message>
    <message>
        <source>网络端口 %1 的连接已断开（服务器关闭了连接、网络中断，或该端口正被另一用户使用）。将以相同设置（%2 波特，%3）每 %4 秒重新连接一次。</source>
        <translation>The connection to the network port %1 was lost (the server closed it, the network failed, or another user has the port). It is connected again with the same settings (%2 baud, %3) every %4 s.</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>SmsHexPage</name>
    <message>
        <source>短信HEX编码方式传输</source>
        <translation>SMS in HEX</translation>
    </message>
    <message>
        <source>HEX文本</source>
        <translation>HEX text</translation>
    </message>
    <message>
        <source>此方式下最多 %1 字节（%2 位十六进制数字，空格不计）。
现为 %3 字节。</source>
        <translation>This mode takes at most %1 bytes (%2 hex digits, spaces not counted).
Now: %3 bytes.</translation>
    </message>
</context>
<context>
    <name>SmsTextPage</name>
    <message>
        <source>短信US2编码方式传输</source>
        <translation>SMS in US2</translation>
    </message>
    <message>
        <source>文本</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>此方式下短信文本最多 %1 字节（一个汉字占 2 字节）。
现为 %2 字节。</source>
        <translation>This mode takes at most %1 bytes of SMS text (a Chinese character takes 2).
Now: %2 bytes.</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>DTU参数配置工具</source>
        <translation>DTU Configuration Tool</translation>
    </message>
    <message>
        <source>模拟DTU</source>
        <translation>simulated DTU</translation>
    </message>
    <message>
        <source>本机无法进行 GBK 编码转换（缺少 glibc 的 gconv 模块），中文不能正确收发：发出的中文会变成“?”，收到的中文显示为“�”。
请重新安装软件包 libc6：sudo apt-get install --reinstall libc6</source>
        <translation>This computer cannot convert GBK text (glibc&apos;s gconv modules are missing), so Chinese text cannot be sent or received correctly: Chinese sent becomes &quot;?&quot;, Chinese received shows as &quot;�&quot;.
Reinstall the package libc6: sudo apt-get install --reinstall libc6</translation>
    </message>
    <message>
        <source>模拟DTU %1</source>
        <translation>Simulated DTU %1</translation>
    </message>
</context>
<context>
    <name>TcpPage</name>
    <message>
        <source>提示！</source>
        <translation>Notice!</translation>
    </message>
    <message>
        <source>TCP数据传输</source>
        <translation>TCP Data</translation>
    </message>
    <message>
        <source>TCP数据接收区:</source>
        <translation>TCP data received:</translation>
    </message>
    <message>
        <source>只保留最新收到的约 1 MB 文本（约 34 万字节），更早的数据自动丢弃</source>
        <translation>Keeps only the newest 1 MB or so of text (about 340,000 bytes); older data is dropped</translation>
    </message>
    <message>
        <source>TCP数据发送区:</source>
        <translation>TCP data to send:</translation>
    </message>
    <message>
        <source>清空数据区</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>清空接收区</source>
        <translation>Clear Received</translation>
    </message>
    <message>
        <source>清空全部</source>
        <translation>Clear All</translation>
    </message>
    <message>
        <source>模式切换</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>协议模式</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>透传模式</source>
        <translation>Transparent</translation>
    </message>
    <message>
        <source>通迅MAC地址</source>
        <translation>MAC Address</translation>
    </message>
    <message>
        <source>12位十六进制数字</source>
        <translation>12 hex digits</translation>
    </message>
    <message>
        <source>数据发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>1对多发送</source>
        <translation>Send 1-to-Many</translation>
    </message>
    <message>
        <source>1对1发送</source>
        <translation>Send 1-to-1</translation>
    </message>
    <message>
        <source>

此方式下最多发送 %1 字节（%2 位十六进制数字，空格不计）。
现为 %3 字节。</source>
        <translation>

This mode sends at most %1 bytes (%2 hex digits, spaces not counted).
Now: %3 bytes.</translation>
    </message>
</context>
<context>
    <name>TerminalWindow</name>
    <message>
        <source>无法写入日志文件 %1：%2</source>
        <translation>Cannot write log file %1: %2</translation>
    </message>
    <message>
        <source>写入日志文件 %1 失败：%2</source>
        <translation>Writing log file %1 failed: %2</translation>
    </message>
    <message>
        <source>日志文件 %1 已被删除（或其所在文件夹已被删除）</source>
        <translation>Log file %1 was deleted (or its folder was)</translation>
    </message>
    <message>
        <source>提示！</source>
        <translation>Notice!</translation>
    </message>
    <message>
        <source>保存日志…</source>
        <translation>Save Log…</translation>
    </message>
    <message>
        <source>调试工具</source>
        <translation>Terminal</translation>
    </message>
    <message>
        <source>串口状态</source>
        <translation>Port state</translation>
    </message>
    <message>
        <source>系统设置…</source>
        <translation>Settings…</translation>
    </message>
    <message>
        <source>打开串口设置页，在那里打开或关闭串口</source>
        <translation>Opens the serial settings page, where the port is opened or closed</translation>
    </message>
    <message>
        <source>接收区</source>
        <translation>Received</translation>
    </message>
    <message>
        <source>收到的数据，每段数据（线路静默处结束）另起一行；只保留最新的部分</source>
        <translation>Data received, each burst (ended by a silent line) on a new line; only the newest part is kept</translation>
    </message>
    <message>
        <source>文本</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>文本+HEX</source>
        <translation>Text+HEX</translation>
    </message>
    <message>
        <source>收到和发送的文本所用的编码</source>
        <translation>The encoding of the text received and sent</translation>
    </message>
    <message>
        <source>时间戳</source>
        <translation>Timestamps</translation>
    </message>
    <message>
        <source>每段数据前显示时间，精确到毫秒</source>
        <translation>Shows the time to the millisecond before each burst</translation>
    </message>
    <message>
        <source>显示发送</source>
        <translation>Show Sent</translation>
    </message>
    <message>
        <source>接收区也显示发出的数据，以 TX 标出，收到的以 RX 标出</source>
        <translation>The received area also shows the data sent, marked TX, and marks what was received RX</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>清空接收区</source>
        <translation>Clear Received</translation>
    </message>
    <message>
        <source>把本次会话（收发两个方向，带时间）随时写入一个文本文件</source>
        <translation>Writes this session (both directions, with times) to a text file as it goes</translation>
    </message>
    <message>
        <source>日志状态</source>
        <translation>Log state</translation>
    </message>
    <message>
        <source>回车发送；上下方向键翻看发送过的内容</source>
        <translation>Enter sends; the up and down keys go through what was sent</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>HEX发送</source>
        <translation>Send HEX</translation>
    </message>
    <message>
        <source>发送行按十六进制字节解读，如 41 54 0D</source>
        <translation>The send line is read as hex bytes, such as 41 54 0D</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>定时发送</source>
        <translation>Repeat</translation>
    </message>
    <message>
        <source>勾选时的发送内容按间隔反复发送，串口关闭或窗口关闭时停止</source>
        <translation>While checked, the send line is sent again at each interval; stops when the port or the window closes</translation>
    </message>
    <message>
        <source>快捷命令</source>
        <translation>Quick Commands</translation>
    </message>
    <message>
        <source>编辑…</source>
        <translation>Edit…</translation>
    </message>
    <message>
        <source>添加、修改或删除快捷命令</source>
        <translation>Add, change or delete quick commands</translation>
    </message>
    <message>
        <source>显示:</source>
        <translation>Show:</translation>
    </message>
    <message>
        <source>编码:</source>
        <translation>Encoding:</translation>
    </message>
    <message>
        <source>发送:</source>
        <translation>Send:</translation>
    </message>
    <message>
        <source>行尾:</source>
        <translation>Line end:</translation>
    </message>
    <message>
        <source>间隔:</source>
        <translation>Interval:</translation>
    </message>
    <message>
        <source>串口 %1 已打开（%2 bps）。</source>
        <translation>Serial port %1 is open (%2 bps).</translation>
    </message>
    <message>
        <source>串口未打开，不能发送。请在“系统设置”中打开串口。</source>
        <translation>The serial port is not open, so nothing can be sent. Open it in &quot;Settings&quot;.</translation>
    </message>
    <message>
        <source>十六进制字节，如 41 54 0D 0A</source>
        <translation>Hex bytes, such as 41 54 0D 0A</translation>
    </message>
    <message>
        <source>文本，如 AT+CSQ；回车发送</source>
        <translation>Text, such as AT+CSQ; Enter sends</translation>
    </message>
    <message>
        <source>发送行是空的，没有可定时发送的内容！</source>
        <translation>The send line is empty: there is nothing to repeat!</translation>
    </message>
    <message>
        <source>发送失败：%1</source>
        <translation>Send failed: %1</translation>
    </message>
    <message>
        <source>还没有快捷命令。
按“编辑…”添加。</source>
        <translation>No quick commands yet.
Add them with &quot;Edit…&quot;.</translation>
    </message>
    <message>
        <source>发送%1：%2</source>
        <translation>Send %1: %2</translation>
    </message>
    <message>
        <source>十六进制</source>
        <translation>hex</translation>
    </message>
    <message>
        <source>快捷命令“%1”：%2</source>
        <translation>Quick command &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>日志文件 (*.log *.txt);;所有文件 (*)</source>
        <translation>Log files (*.log *.txt);;All files (*)</translation>
    </message>
    <message>
        <source>串口 %1，%2 bps</source>
        <translation>Serial port %1, %2 bps</translation>
    </message>
    <message>
        <source>串口未打开</source>
        <translation>Serial port not open</translation>
    </message>
    <message>
        <source># 调试工具会话日志，开始于 %1，%2</source>
        <translation># Terminal session log, started %1, %2</translation>
    </message>
    <message>
        <source>停止日志</source>
        <translation>Stop Log</translation>
    </message>
    <message>
        <source>正在记录日志：%1</source>
        <translation>Logging: %1</translation>
    </message>
    <message>
        <source>日志已停止：%1</source>
        <translation>Log stopped: %1</translation>
    </message>
    <message>
        <source>%1
日志已停止，终端照常工作。</source>
        <translation>%1
The log was stopped; the terminal works as before.</translation>
    </message>
    <message>
        <source>发送数据第 %1 个字符“%2”不能用 GBK 编码发送，请改用 UTF-8 或删去它！</source>
        <translation>The data to send: character %1, &quot;%2&quot;, cannot be sent in GBK; choose UTF-8 or delete it!</translation>
    </message>
    <message>
        <source>发送数据共 %1 位十六进制数字，不是整字节：每个字节两位，请补足或删去一位！</source>
        <translation>The data to send holds %1 hex digits, not whole bytes: each byte takes two; add or delete a digit!</translation>
    </message>
    <message>
        <source>接收区最多保留的行数；更早的行移出接收区（日志中仍有）</source>
        <translation>The most lines the receive view keeps; earlier lines leave it (the log still has them)</translation>
    </message>
    <message>
        <source>移出接收区的行数</source>
        <translation>Lines that have left the receive view</translation>
    </message>
    <message>
        <source>保留行数:</source>
        <translation>Lines kept:</translation>
    </message>
    <message>
        <source>更早的 %1 行已移出接收区（最多保留 %2 行）</source>
        <translation>%1 earlier lines have left the receive view (it keeps at most %2 lines)</translation>
    </message>
</context>
<context>
    <name>TestServerPage</name>
    <message>
        <source>测试服务器</source>
        <translation>Test Server</translation>
    </message>
    <message>
        <source>注册包</source>
        <translation>Registration</translation>
    </message>
    <message>
        <source>心跳</source>
        <translation>Heartbeat</translation>
    </message>
    <message>
        <source>数据</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>未启动</source>
        <translation>Not started</translation>
    </message>
    <message>
        <source>监听</source>
        <translation>Listen</translation>
    </message>
    <message>
        <source>启动</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>服务器状态</source>
        <translation>Server state</translation>
    </message>
    <message>
        <source>地址(&amp;A):</source>
        <translation>&amp;Address:</translation>
    </message>
    <message>
        <source>端口(&amp;P):</source>
        <translation>&amp;Port:</translation>
    </message>
    <message>
        <source>期望的注册包和心跳包</source>
        <translation>Expected Registration and Heartbeat Packets</translation>
    </message>
    <message>
        <source>期望的包按十六进制输入</source>
        <translation>The expected packets are typed as hex</translation>
    </message>
    <message>
        <source>取自DTU参数页</source>
        <translation>From the DTU Page</translation>
    </message>
    <message>
        <source>远程端口、注册包和心跳包取自“DTU参数设置”页</source>
        <translation>Takes the remote port, registration and heartbeat packets from the &quot;DTU Settings&quot; page</translation>
    </message>
    <message>
        <source>注册包(&amp;R):</source>
        <translation>&amp;Registration:</translation>
    </message>
    <message>
        <source>心跳包(&amp;H):</source>
        <translation>&amp;Heartbeat:</translation>
    </message>
    <message>
        <source>连接</source>
        <translation>Connections</translation>
    </message>
    <message>
        <source>每个连接一行：DTU 地址、连接时间、收发字节、注册包比对和心跳</source>
        <translation>One row per connection: DTU address, connected since, bytes in and out, registration check and heartbeats</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>DTU地址</source>
        <translation>DTU address</translation>
    </message>
    <message>
        <source>连接时间</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>收(字节)</source>
        <translation>In (bytes)</translation>
    </message>
    <message>
        <source>发(字节)</source>
        <translation>Out (bytes)</translation>
    </message>
    <message>
        <source>最后活动</source>
        <translation>Last activity</translation>
    </message>
    <message>
        <source>注册比对</source>
        <translation>Registration check</translation>
    </message>
    <message>
        <source>心跳间隔</source>
        <translation>Heartbeat interval</translation>
    </message>
    <message>
        <source>所选连接的数据</source>
        <translation>Data of the Selected Connection</translation>
    </message>
    <message>
        <source>只显示最新的 %1 行</source>
        <translation>Only the newest %1 lines are shown</translation>
    </message>
    <message>
        <source>Hex显示</source>
        <translation>Show hex</translation>
    </message>
    <message>
        <source>文本编码(&amp;E):</source>
        <translation>Text &amp;encoding:</translation>
    </message>
    <message>
        <source>发送内容按十六进制输入</source>
        <translation>The content to send is typed as hex</translation>
    </message>
    <message>
        <source>发送到所选</source>
        <translation>Send to Selected</translation>
    </message>
    <message>
        <source>发送到全部</source>
        <translation>Send to All</translation>
    </message>
    <message>
        <source>断开所选</source>
        <translation>Close Selected</translation>
    </message>
    <message>
        <source>发送(&amp;S):</source>
        <translation>&amp;Send:</translation>
    </message>
    <message>
        <source>记录到文件...</source>
        <translation>Log to File...</translation>
    </message>
    <message>
        <source>未记录</source>
        <translation>Not logging</translation>
    </message>
    <message>
        <source>日志文件</source>
        <translation>Log file</translation>
    </message>
    <message>
        <source>：</source>
        <translation>: </translation>
    </message>
    <message>
        <source>心跳包</source>
        <translation>Heartbeat packet</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>端口须为 0 到 65535 的数字！</source>
        <translation>The port must be a number from 0 to 65535!</translation>
    </message>
    <message>
        <source>无法监听</source>
        <translation>Cannot listen</translation>
    </message>
    <message>
        <source>无法启动服务器：%1</source>
        <translation>Cannot start the server: %1</translation>
    </message>
    <message>
        <source>正在监听 %1:%2（TCP，无认证）</source>
        <translation>Listening on %1:%2 (TCP, no authentication)</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>一致</source>
        <translation>equal</translation>
    </message>
    <message>
        <source>不一致</source>
        <translation>different</translation>
    </message>
    <message>
        <source>未收到</source>
        <translation>not received</translation>
    </message>
    <message>
        <source>%1 %2 %3 %4字节: %5</source>
        <translation>%1 %2 %3 %4 bytes: %5</translation>
    </message>
    <message>
        <source>发</source>
        <translation>out</translation>
    </message>
    <message>
        <source>收</source>
        <translation>in</translation>
    </message>
    <message>
        <source>请先在列表中选择一个连接！</source>
        <translation>Select a connection in the list first!</translation>
    </message>
    <message>
        <source>未发送：%1</source>
        <translation>Not sent: %1</translation>
    </message>
    <message>
        <source>没有已连接的DTU，未发送。</source>
        <translation>No DTU is connected; nothing was sent.</translation>
    </message>
    <message>
        <source>日志文件 (*.log *.txt);;所有文件 (*)</source>
        <translation>Log files (*.log *.txt);;All files (*)</translation>
    </message>
    <message>
        <source>停止记录</source>
        <translation>Stop Logging</translation>
    </message>
    <message>
        <source>记录到 %1</source>
        <translation>Logging to %1</translation>
    </message>
    <message>
        <source>数字地址，不查域名；0.0.0.0 表示本机所有地址</source>
        <translation>A numeric address, no host name; 0.0.0.0 means every address of this computer</translation>
    </message>
    <message>
        <source>记录已停止：%1</source>
        <translation>Logging stopped: %1</translation>
    </message>
    <message>
        <source>%1
记录已停止，服务器照常运行。</source>
        <translation>%1
Logging has stopped; the server goes on as before.</translation>
    </message>
    <message>
        <source>批量测试已结束</source>
        <translation>The bench&apos;s test has ended</translation>
    </message>
    <message>
        <source>批量测试的服务器正在监听端口 %1</source>
        <translation>The bench&apos;s test server listens on port %1</translation>
    </message>
</context>
<context>
    <name>UpgradePage</name>
    <message>
        <source>打开文件的路径不正确,或不能为空！</source>
        <translation>The path of the file to open is wrong or empty!</translation>
    </message>
    <message>
        <source>停止下载程序成功！</source>
        <translation>Download stopped.</translation>
    </message>
    <message>
        <source>校验错误,升级失败!</source>
        <translation>Check error, the upgrade failed!</translation>
    </message>
    <message>
        <source>升级成功，等待从新启动</source>
        <translation>Upgrade succeeded, waiting for the restart</translation>
    </message>
    <message>
        <source>未发送任何数据。</source>
        <translation>Nothing was sent.</translation>
    </message>
    <message>
        <source>KV-330型在线升级系统</source>
        <translation>KV-330 Online Upgrade</translation>
    </message>
    <message>
        <source>打开文件</source>
        <translation>Open File</translation>
    </message>
    <message>
        <source>升级文件路径</source>
        <translation>Upgrade file path</translation>
    </message>
    <message>
        <source>由“打开”填入，也可以直接输入</source>
        <translation>Filled in by &quot;Open&quot;, or typed</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>选择升级文件</source>
        <translation>Choose the upgrade file</translation>
    </message>
    <message>
        <source>文件信息</source>
        <translation>File Information</translation>
    </message>
    <message>
        <source>文件名称</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>文件大小</source>
        <translation>File size</translation>
    </message>
    <message>
        <source>文件名称:</source>
        <translation>File name:</translation>
    </message>
    <message>
        <source>文件大小:</source>
        <translation>File size:</translation>
    </message>
    <message>
        <source>烧录控制</source>
        <translation>Programming</translation>
    </message>
    <message>
        <source>APP升级</source>
        <translation>APP Upgrade</translation>
    </message>
    <message>
        <source>把文件作为 APP 固件发送给 DTU</source>
        <translation>Send the file to the DTU as APP firmware</translation>
    </message>
    <message>
        <source>IAP升级</source>
        <translation>IAP Upgrade</translation>
    </message>
    <message>
        <source>把文件作为 IAP 固件发送给 DTU</source>
        <translation>Send the file to the DTU as IAP firmware</translation>
    </message>
    <message>
        <source>STOP升级</source>
        <translation>STOP Upgrade</translation>
    </message>
    <message>
        <source>停止正在进行的升级</source>
        <translation>Stop the upgrade in progress</translation>
    </message>
    <message>
        <source>烧写进度</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>烧录进度:</source>
        <translation>Progress:</translation>
    </message>
    <message>
        <source>已发送的块数</source>
        <translation>Blocks sent</translation>
    </message>
    <message>
        <source>%v/%m 块</source>
        <translation>%v/%m blocks</translation>
    </message>
    <message>
        <source>已发送的块数和字节数、用时和剩余时间</source>
        <translation>Blocks and bytes sent, time taken and time left</translation>
    </message>
    <message>
        <source>升级结果</source>
        <translation>Upgrade result</translation>
    </message>
    <message>
        <source>升级已停止。</source>
        <translation>The upgrade was stopped.</translation>
    </message>
    <message>
        <source>窗口已关闭，升级已停止。</source>
        <translation>The window was closed; the upgrade was stopped.</translation>
    </message>
    <message>
        <source>串口没有打开，不能升级。请先在“系统设置”中打开串口。</source>
        <translation>The serial port is not open, so no upgrade is possible. Open the port in &quot;Settings&quot; first.</translation>
    </message>
    <message>
        <source>找不到升级文件 %1。</source>
        <translation>Upgrade file %1 not found.</translation>
    </message>
    <message>
        <source>%1 是文件夹，不是升级文件。</source>
        <translation>%1 is a folder, not an upgrade file.</translation>
    </message>
    <message>
        <source>%1 不是普通文件，不能作为升级文件。</source>
        <translation>%1 is not a regular file and cannot be an upgrade file.</translation>
    </message>
    <message>
        <source>无法打开升级文件 %1：%2。</source>
        <translation>Cannot open upgrade file %1: %2.</translation>
    </message>
    <message>
        <source>读取升级文件 %1 失败：%2。</source>
        <translation>Reading upgrade file %1 failed: %2.</translation>
    </message>
    <message>
        <source>升级文件 %1 大于 %2 MB，不是 DTU 的固件。</source>
        <translation>Upgrade file %1 is larger than %2 MB: it is not DTU firmware.</translation>
    </message>
    <message>
        <source>升级文件 %1 是空的。</source>
        <translation>Upgrade file %1 is empty.</translation>
    </message>
    <message>
        <source>%1在 %2 秒内没有应答，升级已停止。
请检查 DTU 和连线后重新升级。</source>
        <translation>%1 was not answered within %2 s; the upgrade was stopped.
Check the DTU and the cable, then upgrade again.</translation>
    </message>
    <message>
        <source>读取升级文件失败，升级已停止。</source>
        <translation>Reading the upgrade file failed; the upgrade was stopped.</translation>
    </message>
    <message>
        <source>串口已断开</source>
        <translation>The serial port was disconnected</translation>
    </message>
    <message>
        <source>%1，升级已中断：已发送 %2/%3 块。
请检查连接，在“系统设置”中重新打开串口后重新升级。</source>
        <translation>%1; the upgrade was interrupted after %2/%3 blocks.
Check the connection, open the port again in &quot;Settings&quot;, then upgrade again.</translation>
    </message>
    <message>
        <source>结束帧（全部 %1 块已发送）</source>
        <translation>The end frame (all %1 blocks sent)</translation>
    </message>
    <message>
        <source>第 %1 块（共 %2 块）</source>
        <translation>Block %1 (of %2)</translation>
    </message>
    <message>
        <source>共 %1 块，%2 字节</source>
        <translation>%1 blocks, %2 bytes</translation>
    </message>
    <message>
        <source>已发送 %1/%2 块，%3/%4 字节，%5 %6</source>
        <translation>Sent %1/%2 blocks, %3/%4 bytes, %5 %6</translation>
    </message>
    <message>
        <source>已用</source>
        <translation>elapsed</translation>
    </message>
    <message>
        <source>用时</source>
        <translation>took</translation>
    </message>
    <message>
        <source>，剩余约 %1</source>
        <translation>, about %1 left</translation>
    </message>
    <message>
        <source>正在升级。关闭本页将停止升级，DTU 中的固件会不完整。
确定要停止升级并关闭吗？</source>
        <translation>An upgrade is running. Closing this page stops it and leaves the DTU&apos;s firmware incomplete.
Stop the upgrade and close?</translation>
    </message>
    <message>
        <source>不能记录，没有升级：%1</source>
        <translation>Cannot record; no upgrade was started: %1</translation>
    </message>
</context>
<context>
    <name>WriteReportDialog</name>
    <message>
        <source>参数</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>读回</source>
        <translation>Read back</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>写入与读回</source>
        <translation>Written and read back</translation>
    </message>
    <message>
        <source>每项参数写入的值、读回的值和是否一致，不一致的在前</source>
        <translation>Each setting&apos;s written value, read-back value and whether they agree, differences first</translation>
    </message>
    <message>
        <source>无应答</source>
        <translation>no answer</translation>
    </message>
</context>
<context>
    <name>YieldView</name>
    <message>
        <source>产量</source>
        <translation>Yield</translation>
    </message>
    <message>
        <source>所示记录中的测试：单位数、通过、失败和合格率，每天或每小时通过和失败的测试，失败最多的测量项</source>
        <translation>The tests among the records shown: units, passed, failed and the yield, the tests passed and failed per day or hour, and the measurements that failed most</translation>
    </message>
    <message>
        <source>每个单位按它最近一次测试计：通过或失败</source>
        <translation>Each unit counts by its latest test: passed or failed</translation>
    </message>
    <message>
        <source>失败最多的测量项</source>
        <translation>Measurements that failed most</translation>
    </message>
    <message>
        <source>表中记录里的测试，每个单位按它最近一次测试计</source>
        <translation>Tests among the records in the table, each unit by its latest test</translation>
    </message>
    <message>
        <source>符合“%1”的测试，每个单位按它最近一次测试计</source>
        <translation>Tests matching “%1”, each unit by its latest test</translation>
    </message>
    <message>
        <source>没有通过或失败的测试</source>
        <translation>No test passed or failed</translation>
    </message>
    <message>
        <source>单位 %1，通过 %2，失败 %3，合格率 %4%</source>
        <translation>Units %1, passed %2, failed %3, yield %4%</translation>
    </message>
    <message>
        <source>%1 每小时通过和失败的测试</source>
        <translation>Tests passed and failed per hour on %1</translation>
    </message>
    <message>
        <source>每天通过和失败的测试</source>
        <translation>Tests passed and failed per day</translation>
    </message>
</context>
<context>
    <name>dtu</name>
    <message>
        <source>%04d-%02d-%02d %02d:%02d:%02d weekday %d</source>
        <translation>%04d-%02d-%02d %02d:%02d:%02d weekday %d</translation>
    </message>
</context>
<context>
    <name>dtu::msg</name>
    <message>
        <source>The phone list is full!</source>
        <translation>The phone list is full!</translation>
    </message>
    <message>
        <source>The phone number to add must not be empty!</source>
        <translation>The phone number to add must not be empty!</translation>
    </message>
    <message>
        <source>The phone number is not in the right format!</source>
        <translation>The phone number is not in the right format!</translation>
    </message>
    <message>
        <source>The phone number has more than 11 digits, please check it!</source>
        <translation>The phone number has more than 11 digits, please check it!</translation>
    </message>
    <message>
        <source>The phone number is wrong, please check its format!</source>
        <translation>The phone number is wrong, please check its format!</translation>
    </message>
    <message>
        <source>The MAC address list is full!</source>
        <translation>The MAC address list is full!</translation>
    </message>
    <message>
        <source>The MAC address must not be empty!</source>
        <translation>The MAC address must not be empty!</translation>
    </message>
    <message>
        <source>The MAC address must be 6 bytes, please check it!</source>
        <translation>The MAC address must be 6 bytes, please check it!</translation>
    </message>
    <message>
        <source>The MAC address has more than 6 bytes, please check it!</source>
        <translation>The MAC address has more than 6 bytes, please check it!</translation>
    </message>
    <message>
        <source>The MAC address is wrong, please check its format!</source>
        <translation>The MAC address is wrong, please check its format!</translation>
    </message>
    <message>
        <source>【确定】按钮清空MCU数据，【取消】按钮清空列表数据！</source>
        <translation>[OK] clears the DTU&apos;s data, [Cancel] clears the list on the page!</translation>
    </message>
    <message>
        <source>Cannot set the domain name: it must not be empty!</source>
        <translation>Cannot set the domain name: it must not be empty!</translation>
    </message>
    <message>
        <source>Cannot set the domain name: it is too long!</source>
        <translation>Cannot set the domain name: it is too long!</translation>
    </message>
    <message>
        <source>Cannot set the remote port: the port must not be empty!</source>
        <translation>Cannot set the remote port: the port must not be empty!</translation>
    </message>
    <message>
        <source>Cannot set the remote port: the text holds characters that are not digits!</source>
        <translation>Cannot set the remote port: the text holds characters that are not digits!</translation>
    </message>
    <message>
        <source>Cannot set the remote port: the port is out of range!</source>
        <translation>Cannot set the remote port: the port is out of range!</translation>
    </message>
    <message>
        <source>无线频率必须在 1 到 1023 MHz 之间（只发送整数部分），请检查后再写入！</source>
        <translation>The frequency must be between 1 and 1023 MHz (only the whole part is sent); check it, then write again!</translation>
    </message>
    <message>
        <source>写入成功!</source>
        <translation>Written!</translation>
    </message>
    <message>
        <source>读取成功!</source>
        <translation>Read!</translation>
    </message>
    <message>
        <source>写入射频参数成功!</source>
        <translation>RF settings written!</translation>
    </message>
    <message>
        <source>读取射频参数成功!</source>
        <translation>RF settings read!</translation>
    </message>
    <message>
        <source>通信地址不能为空！</source>
        <translation>The communication address must not be empty!</translation>
    </message>
    <message>
        <source>通信地址不能超过6个字节！</source>
        <translation>The communication address must not exceed 6 bytes!</translation>
    </message>
    <message>
        <source>通信地址必须为6个字节（12位十六进制数字）！</source>
        <translation>The communication address must be 6 bytes (12 hex digits)!</translation>
    </message>
    <message>
        <source>手机号码不足11位，请检查号码！</source>
        <translation>The phone number has fewer than 11 digits, please check it!</translation>
    </message>
    <message>
        <source>发送数据过长，一帧最多255字节，请减少发送内容！</source>
        <translation>The data is too long: a frame holds at most 255 bytes, please send less!</translation>
    </message>
</context>
<context>
    <name>jobs::msg</name>
    <message>
        <source>%1 (dtuctl doctor -p %2 says why)</source>
        <translation>%1 (dtuctl doctor -p %2 says why)</translation>
    </message>
    <message>
        <source>the server closed the connection (network down, or the port busy with another user)</source>
        <translation>the server closed the connection (network down, or the port busy with another user)</translation>
    </message>
    <message>
        <source>the port went away</source>
        <translation>the port went away</translation>
    </message>
    <message>
        <source>%1 while sending %2</source>
        <translation>%1 while sending %2</translation>
    </message>
    <message>
        <source>the line did not take %1: %2</source>
        <translation>the line did not take %1: %2</translation>
    </message>
    <message>
        <source>%1 while waiting for the answer to %2</source>
        <translation>%1 while waiting for the answer to %2</translation>
    </message>
    <message>
        <source>malformed answer to %1: %2</source>
        <translation>malformed answer to %1: %2</translation>
    </message>
    <message>
        <source>no answer to %1 within %2 ms (sent %3)</source>
        <translation>no answer to %1 within %2 ms (sent %3)</translation>
    </message>
    <message>
        <source>%1: not an image file (%2)</source>
        <translation>%1: not an image file (%2)</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>no such file</translation>
    </message>
    <message>
        <source>%1: larger than %2 MiB; no DTU image is that large</source>
        <translation>%1: larger than %2 MiB; no DTU image is that large</translation>
    </message>
    <message>
        <source>%1: the image cannot be read: %2</source>
        <translation>%1: the image cannot be read: %2</translation>
    </message>
    <message>
        <source>%1: the image cannot be read</source>
        <translation>%1: the image cannot be read</translation>
    </message>
    <message>
        <source>%1: the image is empty; nothing to send</source>
        <translation>%1: the image is empty; nothing to send</translation>
    </message>
    <message>
        <source>image block</source>
        <translation>image block</translation>
    </message>
    <message>
        <source>image block %1</source>
        <translation>image block %1</translation>
    </message>
    <message>
        <source>the end of the image</source>
        <translation>the end of the image</translation>
    </message>
    <message>
        <source>%1 after %2 block(s)</source>
        <translation>%1 after %2 block(s)</translation>
    </message>
    <message>
        <source>%1 bytes in %2 s</source>
        <translation>%1 bytes in %2 s</translation>
    </message>
    <message>
        <source>the DTU accepted the image (ECK), %1</source>
        <translation>the DTU accepted the image (ECK), %1</translation>
    </message>
    <message>
        <source>upgraded, %1</source>
        <translation>upgraded, %1</translation>
    </message>
    <message>
        <source>the DTU rejected the image (DCK) after %1</source>
        <translation>the DTU rejected the image (DCK) after %1</translation>
    </message>
    <message>
        <source>no answer to %1 within %2 ms</source>
        <translation>no answer to %1 within %2 ms</translation>
    </message>
    <message>
        <source>the image could not be read</source>
        <translation>the image could not be read</translation>
    </message>
    <message>
        <source>the transfer ended unexpectedly</source>
        <translation>the transfer ended unexpectedly</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>stopped</translation>
    </message>
    <message>
        <source>stopped after %1/%2 blocks</source>
        <translation>stopped after %1/%2 blocks</translation>
    </message>
    <message>
        <source>%1: the window was closed</source>
        <translation>%1: the window was closed</translation>
    </message>
    <message>
        <source>%1: started again</source>
        <translation>%1: started again</translation>
    </message>
    <message>
        <source>the line failed after %1/%2 blocks</source>
        <translation>the line failed after %1/%2 blocks</translation>
    </message>
    <message>
        <source>the DTU rejected the image (DCK)</source>
        <translation>the DTU rejected the image (DCK)</translation>
    </message>
    <message>
        <source>the line did not take a frame</source>
        <translation>the line did not take a frame</translation>
    </message>
    <message>
        <source>nothing was sent</source>
        <translation>nothing was sent</translation>
    </message>
    <message>
        <source>nothing was changed</source>
        <translation>nothing was changed</translation>
    </message>
    <message>
        <source>stopped before it began</source>
        <translation>stopped before it began</translation>
    </message>
    <message>
        <source>the page was closed</source>
        <translation>the page was closed</translation>
    </message>
    <message>
        <source>the port was closed</source>
        <translation>the port was closed</translation>
    </message>
    <message>
        <source>its version could not be read after the upgrade</source>
        <translation>its version could not be read after the upgrade</translation>
    </message>
    <message>
        <source>an own-ID range needs a records store</source>
        <translation>an own-ID range needs a records store</translation>
    </message>
</context>
<context>
    <name>monitor</name>
    <message>
        <source> index </source>
        <translation> index </translation>
    </message>
    <message>
        <source> baud</source>
        <translation> baud</translation>
    </message>
    <message>
        <source>baud</source>
        <translation>baud</translation>
    </message>
    <message>
        <source>parity </source>
        <translation>parity </translation>
    </message>
    <message>
        <source>parity</source>
        <translation>parity</translation>
    </message>
    <message>
        <source>interface</source>
        <translation>interface</translation>
    </message>
    <message>
        <source>SMS hex</source>
        <translation>SMS hex</translation>
    </message>
    <message>
        <source>protocol mode</source>
        <translation>protocol mode</translation>
    </message>
    <message>
        <source>transparent mode, no sub-mode</source>
        <translation>transparent mode, no sub-mode</translation>
    </message>
    <message>
        <source>transparent mode, sub-mode %u</source>
        <translation>transparent mode, sub-mode %u</translation>
    </message>
    <message>
        <source>%zu %s</source>
        <translation>%zu %s</translation>
    </message>
    <message>
        <source>number</source>
        <translation>number</translation>
    </message>
    <message>
        <source>numbers</source>
        <translation>numbers</translation>
    </message>
    <message>
        <source>%u-%02u-%02u %02u:%02u:%02u, weekday %u</source>
        <translation>%u-%02u-%02u %02u:%02u:%02u, weekday %u</translation>
    </message>
    <message>
        <source>%s MHz, sleep index %d, breathing index %d, address %s, power index %d</source>
        <translation>%s MHz, sleep index %d, breathing index %d, address %s, power index %d</translation>
    </message>
    <message>
        <source>custom</source>
        <translation>custom</translation>
    </message>
    <message>
        <source>not custom</source>
        <translation>not custom</translation>
    </message>
    <message>
        <source>heartbeat </source>
        <translation>heartbeat </translation>
    </message>
    <message>
        <source>registration </source>
        <translation>registration </translation>
    </message>
    <message>
        <source>%zu-byte payload, %zu zero bytes expected</source>
        <translation>%zu-byte payload, %zu zero bytes expected</translation>
    </message>
    <message>
        <source>port %u</source>
        <translation>port %u</translation>
    </message>
    <message>
        <source>user </source>
        <translation>user </translation>
    </message>
    <message>
        <source>password </source>
        <translation>password </translation>
    </message>
    <message>
        <source>, custom</source>
        <translation>, custom</translation>
    </message>
    <message>
        <source>, not custom</source>
        <translation>, not custom</translation>
    </message>
    <message>
        <source>address by IP</source>
        <translation>address by IP</translation>
    </message>
    <message>
        <source>address by domain</source>
        <translation>address by domain</translation>
    </message>
    <message>
        <source>IP and domain</source>
        <translation>IP and domain</translation>
    </message>
    <message>
        <source>%u.%u.%u.%u port %u</source>
        <translation>%u.%u.%u.%u port %u</translation>
    </message>
    <message>
        <source>domain </source>
        <translation>domain </translation>
    </message>
    <message>
        <source>acknowledged</source>
        <translation>acknowledged</translation>
    </message>
    <message>
        <source>%zu payload bytes</source>
        <translation>%zu payload bytes</translation>
    </message>
    <message>
        <source>short answer, %zu payload bytes</source>
        <translation>short answer, %zu payload bytes</translation>
    </message>
    <message>
        <source>block accepted</source>
        <translation>block accepted</translation>
    </message>
    <message>
        <source>check failed</source>
        <translation>check failed</translation>
    </message>
    <message>
        <source>image accepted</source>
        <translation>image accepted</translation>
    </message>
    <message>
        <source>letters not understood</source>
        <translation>letters not understood</translation>
    </message>
    <message>
        <source>length byte says %zu payload bytes, frame has %zu bytes</source>
        <translation>length byte says %zu payload bytes, frame has %zu bytes</translation>
    </message>
    <message>
        <source>bad checksum: sum %02X, frame says %02X</source>
        <translation>bad checksum: sum %02X, frame says %02X</translation>
    </message>
    <message>
        <source>bad terminator %02X</source>
        <translation>bad terminator %02X</translation>
    </message>
    <message>
        <source>APP image block</source>
        <translation>APP image block</translation>
    </message>
    <message>
        <source>IAP image block</source>
        <translation>IAP image block</translation>
    </message>
    <message>
        <source>command %02X in an IAP frame</source>
        <translation>command %02X in an IAP frame</translation>
    </message>
    <message>
        <source>too short for a block frame</source>
        <translation>too short for a block frame</translation>
    </message>
    <message>
        <source>APP end of image</source>
        <translation>APP end of image</translation>
    </message>
    <message>
        <source>image size %u bytes, CRC-32 %08X</source>
        <translation>image size %u bytes, CRC-32 %08X</translation>
    </message>
    <message>
        <source>block %u, %zu bytes</source>
        <translation>block %u, %zu bytes</translation>
    </message>
    <message>
        <source>length says %zu data bytes, frame has %zu bytes</source>
        <translation>length says %zu data bytes, frame has %zu bytes</translation>
    </message>
    <message>
        <source>data frame</source>
        <translation>data frame</translation>
    </message>
    <message>
        <source>no 7F terminator</source>
        <translation>no 7F terminator</translation>
    </message>
    <message>
        <source>%zu bytes</source>
        <translation>%zu bytes</translation>
    </message>
    <message>
        <source>SMS text, group send</source>
        <translation>SMS text, group send</translation>
    </message>
    <message>
        <source>SMS text to one number</source>
        <translation>SMS text to one number</translation>
    </message>
    <message>
        <source>SMS hex, group send</source>
        <translation>SMS hex, group send</translation>
    </message>
    <message>
        <source>SMS hex to one number</source>
        <translation>SMS hex to one number</translation>
    </message>
    <message>
        <source>TCP one-to-many</source>
        <translation>TCP one-to-many</translation>
    </message>
    <message>
        <source>TCP one-to-one</source>
        <translation>TCP one-to-one</translation>
    </message>
    <message>
        <source>unknown type %02X</source>
        <translation>unknown type %02X</translation>
    </message>
    <message>
        <source> (returned)</source>
        <translation> (returned)</translation>
    </message>
    <message>
        <source>recipient cut short: %zu of %zu bytes</source>
        <translation>recipient cut short: %zu of %zu bytes</translation>
    </message>
    <message>
        <source>to </source>
        <translation>to </translation>
    </message>
    <message>
        <source>%zu data bytes</source>
        <translation>%zu data bytes</translation>
    </message>
    <message>
        <source>%zu bytes, more than the DTU holds</source>
        <translation>%zu bytes, more than the DTU holds</translation>
    </message>
    <message>
        <source>sent</source>
        <translation>sent</translation>
    </message>
    <message>
        <source>received</source>
        <translation>received</translation>
    </message>
    <message>
        <source>write phone list</source>
        <translation>write phone list</translation>
    </message>
    <message>
        <source>read phone list</source>
        <translation>read phone list</translation>
    </message>
    <message>
        <source>write communication-ID list</source>
        <translation>write communication-ID list</translation>
    </message>
    <message>
        <source>read communication-ID list</source>
        <translation>read communication-ID list</translation>
    </message>
    <message>
        <source>set server domain name</source>
        <translation>set server domain name</translation>
    </message>
    <message>
        <source>set server IP address</source>
        <translation>set server IP address</translation>
    </message>
    <message>
        <source>set remote port</source>
        <translation>set remote port</translation>
    </message>
    <message>
        <source>set working mode</source>
        <translation>set working mode</translation>
    </message>
    <message>
        <source>read network parameters</source>
        <translation>read network parameters</translation>
    </message>
    <message>
        <source>clear phone list</source>
        <translation>clear phone list</translation>
    </message>
    <message>
        <source>clear communication-ID list</source>
        <translation>clear communication-ID list</translation>
    </message>
    <message>
        <source>write serial settings</source>
        <translation>write serial settings</translation>
    </message>
    <message>
        <source>read serial settings</source>
        <translation>read serial settings</translation>
    </message>
    <message>
        <source>read own communication ID</source>
        <translation>read own communication ID</translation>
    </message>
    <message>
        <source>application image</source>
        <translation>application image</translation>
    </message>
    <message>
        <source>read version</source>
        <translation>read version</translation>
    </message>
    <message>
        <source>restart the DTU</source>
        <translation>restart the DTU</translation>
    </message>
    <message>
        <source>write wireless parameters</source>
        <translation>write wireless parameters</translation>
    </message>
    <message>
        <source>read wireless parameters</source>
        <translation>read wireless parameters</translation>
    </message>
    <message>
        <source>set APN, user name and password</source>
        <translation>set APN, user name and password</translation>
    </message>
    <message>
        <source>write heartbeat and registration packets</source>
        <translation>write heartbeat and registration packets</translation>
    </message>
    <message>
        <source>read heartbeat and registration packets</source>
        <translation>read heartbeat and registration packets</translation>
    </message>
    <message>
        <source>set own communication ID</source>
        <translation>set own communication ID</translation>
    </message>
    <message>
        <source>set the DTU clock</source>
        <translation>set the DTU clock</translation>
    </message>
    <message>
        <source>read the DTU clock</source>
        <translation>read the DTU clock</translation>
    </message>
    <message>
        <source>read signal strength</source>
        <translation>read signal strength</translation>
    </message>
    <message>
        <source>command 0x%02X</source>
        <translation>command 0x%02X</translation>
    </message>
    <message>
        <source>empty frame</source>
        <translation>empty frame</translation>
    </message>
    <message>
        <source>no bytes</source>
        <translation>no bytes</translation>
    </message>
    <message>
        <source>data</source>
        <translation>data</translation>
    </message>
    <message>
        <source>frame</source>
        <translation>frame</translation>
    </message>
    <message>
        <source>cut short</source>
        <translation>cut short</translation>
    </message>
    <message>
        <source>direction byte %02X, %s expected</source>
        <translation>direction byte %02X, %s expected</translation>
    </message>
    <message>
        <source>cut short: %zu bytes</source>
        <translation>cut short: %zu bytes</translation>
    </message>
    <message>
        <source>%zu more bytes after the frame: </source>
        <translation>%zu more bytes after the frame: </translation>
    </message>
    <message>
        <source>APP reply</source>
        <translation>APP reply</translation>
    </message>
    <message>
        <source>IAP reply</source>
        <translation>IAP reply</translation>
    </message>
    <message>
        <source> (no answer)</source>
        <translation> (no answer)</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>IDs</source>
        <translation>IDs</translation>
    </message>
    <message>
        <source>SMS</source>
        <translation>SMS</translation>
    </message>
    <message>
        <source>, </source>
        <translation>, </translation>
    </message>
    <message>
        <source>protocol mode (%s)</source>
        <translation>protocol mode (%s)</translation>
    </message>
</context>
<context>
    <name>monitor clauses</name>
    <message>
        <source>, </source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>pages</name>
    <message>
        <source>%1: character %2, “%3”, is not a hex digit; only 0-9, A-F and spaces can be typed!</source>
        <translation>%1: character %2, “%3”, is not a hex digit; only 0-9, A-F and spaces can be typed!</translation>
    </message>
    <message>
        <source>%1: character %2, “%3”, is not a hex digit; only 0-9 and A-F can be typed!</source>
        <translation>%1: character %2, “%3”, is not a hex digit; only 0-9 and A-F can be typed!</translation>
    </message>
    <message>
        <source>The data to send</source>
        <translation>The data to send</translation>
    </message>
    <message>
        <source>The communication address</source>
        <translation>The communication address</translation>
    </message>
    <message>
        <source>The communication ID</source>
        <translation>The communication ID</translation>
    </message>
</context>
<context>
    <name>pages::SmsPage</name>
    <message>
        <source>短信接收</source>
        <translation>SMS Received</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>短信发送</source>
        <translation>Send SMS</translation>
    </message>
    <message>
        <source>协议</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>透传</source>
        <translation>Transparent</translation>
    </message>
    <message>
        <source>群发</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>手机</source>
        <translation>Phone</translation>
    </message>
    <message>
        <source>短信模式</source>
        <translation>SMS Mode</translation>
    </message>
    <message>
        <source>传输</source>
        <translation>Transfer</translation>
    </message>
</context>
<context>
    <name>plan</name>
    <message>
        <source>%1 = &quot;%2&quot; is no time from 1ms to 1h (e.g. &quot;60s&quot;, &quot;500ms&quot;)</source>
        <translation>%1 = &quot;%2&quot; is no time from 1ms to 1h (e.g. &quot;60s&quot;, &quot;500ms&quot;)</translation>
    </message>
    <message>
        <source>%1 = &quot;%2&quot; must be 12 hex digits</source>
        <translation>%1 = &quot;%2&quot; must be 12 hex digits</translation>
    </message>
    <message>
        <source>signal.min %1 is above signal.max %2</source>
        <translation>signal.min %1 is above signal.max %2</translation>
    </message>
    <message>
        <source>server.listen = &quot;%1&quot; is no IPv4 address and port (e.g. &quot;0.0.0.0:5020&quot;)</source>
        <translation>server.listen = &quot;%1&quot; is no IPv4 address and port (e.g. &quot;0.0.0.0:5020&quot;)</translation>
    </message>
    <message>
        <source>[server] needs listen, e.g. listen = &quot;0.0.0.0:5020&quot;</source>
        <translation>[server] needs listen, e.g. listen = &quot;0.0.0.0:5020&quot;</translation>
    </message>
    <message>
        <source>[server] listens on every address: give address, the one the DTU is to dial</source>
        <translation>[server] listens on every address: give address, the one the DTU is to dial</translation>
    </message>
    <message>
        <source>[own_id] needs first and last, 12 hex digits each</source>
        <translation>[own_id] needs first and last, 12 hex digits each</translation>
    </message>
    <message>
        <source>own_id.last %1 comes before own_id.first %2</source>
        <translation>own_id.last %1 comes before own_id.first %2</translation>
    </message>
    <message>
        <source>the plan needs [server]: where this station listens for the units</source>
        <translation>the plan needs [server]: where this station listens for the units</translation>
    </message>
    <message>
        <source>final.image needs version, the glob of the version the image gives: units whose version matches it are not upgraded again</source>
        <translation>final.image needs version, the glob of the version the image gives: units whose version matches it are not upgraded again</translation>
    </message>
</context>
<context>
    <name>production::msg</name>
    <message>
        <source>version &quot;%1&quot; does not match &quot;%2&quot;</source>
        <translation>version &quot;%1&quot; does not match &quot;%2&quot;</translation>
    </message>
    <message>
        <source>signal unknown (&quot;%1&quot;)</source>
        <translation>signal unknown (&quot;%1&quot;)</translation>
    </message>
    <message>
        <source>signal %1 &lt; %2</source>
        <translation>signal %1 &lt; %2</translation>
    </message>
    <message>
        <source>signal %1 &gt; %2</source>
        <translation>signal %1 &gt; %2</translation>
    </message>
    <message>
        <source>no registration within %1</source>
        <translation>no registration within %1</translation>
    </message>
    <message>
        <source>no heartbeat within %1</source>
        <translation>no heartbeat within %1</translation>
    </message>
    <message>
        <source>%1: %2 of %3 bytes arrived within %4</source>
        <translation>%1: %2 of %3 bytes arrived within %4</translation>
    </message>
    <message>
        <source>%1: %2 of %3 bytes differ</source>
        <translation>%1: %2 of %3 bytes differ</translation>
    </message>
    <message>
        <source>%1: %2 bytes arrived, %3 sent</source>
        <translation>%1: %2 bytes arrived, %3 sent</translation>
    </message>
    <message>
        <source>echo took %1 ms &gt; %2</source>
        <translation>echo took %1 ms &gt; %2</translation>
    </message>
    <message>
        <source>%1: read back different: %2</source>
        <translation>%1: read back different: %2</translation>
    </message>
    <message>
        <source>no version read after the upgrade</source>
        <translation>no version read after the upgrade</translation>
    </message>
    <message>
        <source>%1: own_id.id = &quot;%2&quot; would give every unit tested the same own ID; give units their own with [own_id] in the plan</source>
        <translation>%1: own_id.id = &quot;%2&quot; would give every unit tested the same own ID; give units their own with [own_id] in the plan</translation>
    </message>
</context>
<context>
    <name>profile</name>
    <message>
        <source>the DTU runs at %1 MHz, which cannot be written back in whole MHz: give rf.frequency_mhz</source>
        <translation>the DTU runs at %1 MHz, which cannot be written back in whole MHz: give rf.frequency_mhz</translation>
    </message>
    <message>
        <source>(not read)</source>
        <translation>(not read)</translation>
    </message>
    <message>
        <source>(not shown)</source>
        <translation>(not shown)</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>ok</translation>
    </message>
    <message>
        <source>DIFFERS</source>
        <translation>DIFFERS</translation>
    </message>
    <message>
        <source>written, cannot be read back</source>
        <translation>written, cannot be read back</translation>
    </message>
    <message>
        <source>unknown key &apos;%1&apos;</source>
        <translation>unknown key &apos;%1&apos;</translation>
    </message>
    <message>
        <source>unknown key &apos;%1&apos; in [%2]</source>
        <translation>unknown key &apos;%1&apos; in [%2]</translation>
    </message>
    <message>
        <source>%1 must be a string</source>
        <translation>%1 must be a string</translation>
    </message>
    <message>
        <source>%1 must be true or false</source>
        <translation>%1 must be true or false</translation>
    </message>
    <message>
        <source>%1 must be a whole number</source>
        <translation>%1 must be a whole number</translation>
    </message>
    <message>
        <source>%1 = %2 is out of range (%3 to %4)</source>
        <translation>%1 = %2 is out of range (%3 to %4)</translation>
    </message>
    <message>
        <source>%1 = &quot;%2&quot; is none of %3</source>
        <translation>%1 = &quot;%2&quot; is none of %3</translation>
    </message>
    <message>
        <source>%1 must be a list of strings</source>
        <translation>%1 must be a list of strings</translation>
    </message>
    <message>
        <source>[%1] must be a table</source>
        <translation>[%1] must be a table</translation>
    </message>
    <message>
        <source>%1 must be pairs of hex digits when hex = true</source>
        <translation>%1 must be pairs of hex digits when hex = true</translation>
    </message>
    <message>
        <source>%1 holds %2 bytes; at most %3 fit</source>
        <translation>%1 holds %2 bytes; at most %3 fit</translation>
    </message>
    <message>
        <source>%1 is %2 bytes long; at most %3 fit</source>
        <translation>%1 is %2 bytes long; at most %3 fit</translation>
    </message>
    <message>
        <source>own_id.id = &quot;%1&quot; must be 12 hex digits</source>
        <translation>own_id.id = &quot;%1&quot; must be 12 hex digits</translation>
    </message>
    <message>
        <source>[server] takes ip or domain, not both</source>
        <translation>[server] takes ip or domain, not both</translation>
    </message>
    <message>
        <source>server.ip = &quot;%1&quot; is no IPv4 address (four numbers 0 to 255)</source>
        <translation>server.ip = &quot;%1&quot; is no IPv4 address (four numbers 0 to 255)</translation>
    </message>
    <message>
        <source>[mode] needs transfer = &quot;protocol&quot; or &quot;transparent&quot;</source>
        <translation>[mode] needs transfer = &quot;protocol&quot; or &quot;transparent&quot;</translation>
    </message>
    <message>
        <source>sub_mode belongs to transparent transfer; protocol transfer takes options</source>
        <translation>sub_mode belongs to transparent transfer; protocol transfer takes options</translation>
    </message>
    <message>
        <source>mode.options: &quot;%1&quot; is none of %2</source>
        <translation>mode.options: &quot;%1&quot; is none of %2</translation>
    </message>
    <message>
        <source>options belong to protocol transfer; transparent transfer takes sub_mode</source>
        <translation>options belong to protocol transfer; transparent transfer takes sub_mode</translation>
    </message>
    <message>
        <source>transparent transfer needs sub_mode = %1</source>
        <translation>transparent transfer needs sub_mode = %1</translation>
    </message>
    <message>
        <source>serial.baud must be one of 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200</source>
        <translation>serial.baud must be one of 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200</translation>
    </message>
    <message>
        <source>[apn] needs apn (user and password default to empty)</source>
        <translation>[apn] needs apn (user and password default to empty)</translation>
    </message>
    <message>
        <source>%1 is longer than the 32 bytes the DTU keeps</source>
        <translation>%1 is longer than the 32 bytes the DTU keeps</translation>
    </message>
    <message>
        <source>rf.frequency_mhz must be a number</source>
        <translation>rf.frequency_mhz must be a number</translation>
    </message>
    <message>
        <source>rf.frequency_mhz = %1: the DTU is set in whole MHz (only the integer query would be sent)</source>
        <translation>rf.frequency_mhz = %1: the DTU is set in whole MHz (only the integer query would be sent)</translation>
    </message>
    <message>
        <source>rf.frequency_mhz is out of range (1 to 1023)</source>
        <translation>rf.frequency_mhz is out of range (1 to 1023)</translation>
    </message>
    <message>
        <source>clock.set takes &quot;now&quot; only (this computer&apos;s time)</source>
        <translation>clock.set takes &quot;now&quot; only (this computer&apos;s time)</translation>
    </message>
    <message>
        <source>%1: is a folder, not a profile</source>
        <translation>%1: is a folder, not a profile</translation>
    </message>
    <message>
        <source>%1: not a profile file (not a regular file, or over 1 MiB)</source>
        <translation>%1: not a profile file (not a regular file, or over 1 MiB)</translation>
    </message>
    <message>
        <source>%1: cannot be read</source>
        <translation>%1: cannot be read</translation>
    </message>
    <message>
        <source>%1: is a folder, not a test plan</source>
        <translation>%1: is a folder, not a test plan</translation>
    </message>
    <message>
        <source>%1: not a test plan (not a regular file, or over 1 MiB)</source>
        <translation>%1: not a test plan (not a regular file, or over 1 MiB)</translation>
    </message>
</context>
<context>
    <name>records::msg</name>
    <message>
        <source>records store %1: %2</source>
        <translation>records store %1: %2</translation>
    </message>
    <message>
        <source>records store: no path given</source>
        <translation>records store: no path given</translation>
    </message>
    <message>
        <source>no record %1</source>
        <translation>no record %1</translation>
    </message>
    <message>
        <source>not a result: %1</source>
        <translation>not a result: %1</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>out of memory</translation>
    </message>
    <message>
        <source>cannot make the folder %1 (%2)</source>
        <translation>cannot make the folder %1 (%2)</translation>
    </message>
    <message>
        <source>is a folder, not a records file</source>
        <translation>is a folder, not a records file</translation>
    </message>
    <message>
        <source>cannot open the file (%1)</source>
        <translation>cannot open the file (%1)</translation>
    </message>
    <message>
        <source>cannot write in its folder (%1), where the -wal and -shm files go</source>
        <translation>cannot write in its folder (%1), where the -wal and -shm files go</translation>
    </message>
    <message>
        <source>connection refused: nothing listens at %1</source>
        <translation>connection refused: nothing listens at %1</translation>
    </message>
    <message>
        <source>no answer from %1 within %2 s</source>
        <translation>no answer from %1 within %2 s</translation>
    </message>
    <message>
        <source>authentication failed for user %1</source>
        <translation>authentication failed for user %1</translation>
    </message>
    <message>
        <source>the server asks %1 for a password: give it in the URL, ~/.pgpass or PGPASSWORD</source>
        <translation>the server asks %1 for a password: give it in the URL, ~/.pgpass or PGPASSWORD</translation>
    </message>
    <message>
        <source>no database %1 on the server</source>
        <translation>no database %1 on the server</translation>
    </message>
    <message>
        <source>no user %1 on the server</source>
        <translation>no user %1 on the server</translation>
    </message>
    <message>
        <source>no such host: %1</source>
        <translation>no such host: %1</translation>
    </message>
    <message>
        <source>the connection to %1 was lost</source>
        <translation>the connection to %1 was lost</translation>
    </message>
    <message>
        <source>%1: cannot be read (%2)</source>
        <translation>%1: cannot be read (%2)</translation>
    </message>
    <message>
        <source>records outbox %1: %2</source>
        <translation>records outbox %1: %2</translation>
    </message>
    <message>
        <source>made by a newer version of the tool (its schema is version %1; this one knows up to %2)</source>
        <translation>made by a newer version of the tool (its schema is version %1; this one knows up to %2)</translation>
    </message>
    <message>
        <source>own ID range %1–%2 is used up</source>
        <translation>own ID range %1–%2 is used up</translation>
    </message>
    <message>
        <source>not an own ID range: %1–%2 (two IDs of up to 12 hex digits, the first not above the last)</source>
        <translation>not an own ID range: %1–%2 (two IDs of up to 12 hex digits, the first not above the last)</translation>
    </message>
</context>
<context>
    <name>serial</name>
    <message>
        <source>Device %1 not found.</source>
        <translation>Device %1 not found.</translation>
    </message>
    <message>
        <source>No permission to open %1.</source>
        <translation>No permission to open %1.</translation>
    </message>
    <message>
        <source>No permission to open %1: add the current user to the dialout group (sudo usermod -aG dialout $USER), log in again, then open it.</source>
        <translation>No permission to open %1: add the current user to the dialout group (sudo usermod -aG dialout $USER), log in again, then open it.</translation>
    </message>
    <message>
        <source>%1 is in use by another program.</source>
        <translation>%1 is in use by another program.</translation>
    </message>
    <message>
        <source>%1 is in use by another program; close that program first.</source>
        <translation>%1 is in use by another program; close that program first.</translation>
    </message>
    <message>
        <source>%1 is not a serial device.</source>
        <translation>%1 is not a serial device.</translation>
    </message>
    <message>
        <source>%1 does not support the chosen baud rate or parity.</source>
        <translation>%1 does not support the chosen baud rate or parity.</translation>
    </message>
    <message>
        <source>Cannot open %1: %2</source>
        <translation>Cannot open %1: %2</translation>
    </message>
    <message>
        <source>Send failed: the port sent nothing for %1 s</source>
        <translation>Send failed: the port sent nothing for %1 s</translation>
    </message>
    <message>
        <source>Send failed: the port is disconnected</source>
        <translation>Send failed: the port is disconnected</translation>
    </message>
    <message>
        <source>Send failed: the port is closed</source>
        <translation>Send failed: the port is closed</translation>
    </message>
    <message>
        <source>Send failed: %1</source>
        <translation>Send failed: %1</translation>
    </message>
    <message>
        <source>another program</source>
        <translation>another program</translation>
    </message>
    <message>
        <source>process %1</source>
        <translation>process %1</translation>
    </message>
    <message>
        <source> held by </source>
        <translation> held by </translation>
    </message>
    <message>
        <source>%1 is not a network port: write rfc2217://HOST:PORT or socket://HOST:PORT.</source>
        <translation>%1 is not a network port: write rfc2217://HOST:PORT or socket://HOST:PORT.</translation>
    </message>
    <message>
        <source>%1 refused the connection: nothing listens on that port of the host.</source>
        <translation>%1 refused the connection: nothing listens on that port of the host.</translation>
    </message>
    <message>
        <source>Connecting to %1 timed out: the host did not answer. Check the address, the network and the firewall.</source>
        <translation>Connecting to %1 timed out: the host did not answer. Check the address, the network and the firewall.</translation>
    </message>
    <message>
        <source>The server of %1 closed the connection, saying: &quot;%2&quot;</source>
        <translation>The server of %1 closed the connection, saying: &quot;%2&quot;</translation>
    </message>
    <message>
        <source>The server of %1 closed the connection before the line was set: another user may have the port, or the server cannot open its device.</source>
        <translation>The server of %1 closed the connection before the line was set: another user may have the port, or the server cannot open its device.</translation>
    </message>
    <message>
        <source>The server of %1 does not speak RFC 2217 (or binary mode), so the baud rate and parity cannot be set; use socket:// and set the line on the server.</source>
        <translation>The server of %1 does not speak RFC 2217 (or binary mode), so the baud rate and parity cannot be set; use socket:// and set the line on the server.</translation>
    </message>
    <message>
        <source>The server of %1 does not accept the chosen baud rate or parity (it answered %2 baud).</source>
        <translation>The server of %1 does not accept the chosen baud rate or parity (it answered %2 baud).</translation>
    </message>
    <message>
        <source>The server of %1 did not confirm the chosen baud rate and parity; the line is unknown, so the port was not opened.</source>
        <translation>The server of %1 did not confirm the chosen baud rate and parity; the line is unknown, so the port was not opened.</translation>
    </message>
    <message>
        <source>Cannot connect to %1: there is no host named %2. Check the host name.</source>
        <translation>Cannot connect to %1: there is no host named %2. Check the host name.</translation>
    </message>
    <message>
        <source>Cannot connect to %1: the name %2 could not be looked up (%3). Check the network and the name server.</source>
        <translation>Cannot connect to %1: the name %2 could not be looked up (%3). Check the network and the name server.</translation>
    </message>
    <message>
        <source>no name server could answer</source>
        <translation>no name server could answer</translation>
    </message>
</context>
<context>
    <name>server</name>
    <message>
        <source>%1 holds an odd number of hex digits (%2); each byte takes two digits!</source>
        <translation>%1 holds an odd number of hex digits (%2); each byte takes two digits!</translation>
    </message>
    <message>
        <source>Character %1, “%2”, has no GBK code and cannot be sent as GBK!</source>
        <translation>Character %1, “%2”, has no GBK code and cannot be sent as GBK!</translation>
    </message>
    <message>
        <source>no DTU is connected</source>
        <translation>no DTU is connected</translation>
    </message>
    <message>
        <source>the DTU has disconnected</source>
        <translation>the DTU has disconnected</translation>
    </message>
    <message>
        <source>the DTU is not reading: %1 bytes still wait</source>
        <translation>the DTU is not reading: %1 bytes still wait</translation>
    </message>
</context>
<context>
    <name>terminal::ReceiveView</name>
    <message>
        <source>复制(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>全选(&amp;A)</source>
        <translation>Select &amp;All</translation>
    </message>
</context>
<context>
    <name>ui::FastReplies</name>
    <message>
        <source>快速应答</source>
        <translation>Fast replies</translation>
    </message>
    <message>
        <source>应答帧一完整（长度、校验和与帧尾都正确）即处理，不再等待 0.4 秒的线路静默。其他数据仍按静默判定结束。</source>
        <translation>A reply is handled as soon as it is whole (length, checksum and tail all correct), without waiting for 0.4 s of silence on the line. Other data still ends with silence.</translation>
    </message>
</context>
<context>
    <name>ui::IpAddressEdit</name>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>%1 is not a valid entry. Specify a value between 0 and 255.</source>
        <translation>%1 is not a valid entry. Specify a value between 0 and 255.</translation>
    </message>
</context>
<context>
    <name>ui::StreamReader</name>
    <message>
        <source>窗口来不及处理，%1 字节收到的数据已丢失。</source>
        <translation>The window could not keep up: %1 bytes received are lost.</translation>
    </message>
</context>
<context>
    <name>ui::Words</name>
    <message>
        <source>No such file or directory</source>
        <translation>No such file or directory</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Permission denied</translation>
    </message>
    <message>
        <source>Operation not permitted</source>
        <translation>Operation not permitted</translation>
    </message>
    <message>
        <source>Read-only file system</source>
        <translation>Read-only file system</translation>
    </message>
    <message>
        <source>No space left on device</source>
        <translation>No space left on device</translation>
    </message>
    <message>
        <source>Disk quota exceeded</source>
        <translation>Disk quota exceeded</translation>
    </message>
    <message>
        <source>Is a directory</source>
        <translation>Is a directory</translation>
    </message>
    <message>
        <source>Not a directory</source>
        <translation>Not a directory</translation>
    </message>
    <message>
        <source>File name too long</source>
        <translation>File name too long</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>Too many open files</translation>
    </message>
    <message>
        <source>Input/output error</source>
        <translation>Input/output error</translation>
    </message>
    <message>
        <source>Device or resource busy</source>
        <translation>Device or resource busy</translation>
    </message>
    <message>
        <source>No such device</source>
        <translation>No such device</translation>
    </message>
    <message>
        <source>No such device or address</source>
        <translation>No such device or address</translation>
    </message>
    <message>
        <source>Broken pipe</source>
        <translation>Broken pipe</translation>
    </message>
    <message>
        <source>database is locked</source>
        <translation>database is locked</translation>
    </message>
    <message>
        <source>attempt to write a readonly database</source>
        <translation>attempt to write a readonly database</translation>
    </message>
    <message>
        <source>disk I/O error</source>
        <translation>disk I/O error</translation>
    </message>
    <message>
        <source>disk I/O error (%1)</source>
        <translation>disk I/O error (%1)</translation>
    </message>
    <message>
        <source>database disk image is malformed</source>
        <translation>database disk image is malformed</translation>
    </message>
    <message>
        <source>file is not a database</source>
        <translation>file is not a database</translation>
    </message>
    <message>
        <source>unable to open database file</source>
        <translation>unable to open database file</translation>
    </message>
    <message>
        <source>database or disk is full</source>
        <translation>database or disk is full</translation>
    </message>
    <message>
        <source>; </source>
        <translation>; </translation>
    </message>
    <message>
        <source>版本</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>信号</source>
        <translation>Signal</translation>
    </message>
    <message>
        <source>升级</source>
        <translation>Upgrade</translation>
    </message>
    <message>
        <source>指向测试服务器</source>
        <translation>Pointing at the test server</translation>
    </message>
    <message>
        <source>注册</source>
        <translation>Registration</translation>
    </message>
    <message>
        <source>心跳</source>
        <translation>Heartbeat</translation>
    </message>
    <message>
        <source>数据回环</source>
        <translation>Echo</translation>
    </message>
    <message>
        <source>上行数据</source>
        <translation>Data up</translation>
    </message>
    <message>
        <source>下行数据</source>
        <translation>Data down</translation>
    </message>
    <message>
        <source>数据往返时间</source>
        <translation>Round trip</translation>
    </message>
    <message>
        <source>本机ID</source>
        <translation>Own ID</translation>
    </message>
    <message>
        <source>最终配置</source>
        <translation>Final profile</translation>
    </message>
</context>
</TS>
