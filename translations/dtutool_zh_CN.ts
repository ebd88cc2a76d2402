<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <source>关于 dtutool</source>
        <translation>关于 dtutool</translation>
    </message>
    <message>
        <source>&lt;h3&gt;DTU参数配置工具 %1&lt;/h3&gt;&lt;p&gt;配置和测试 DTU（经串口连接的蜂窝通信模块）：读写电话号码与通讯ID列表、服务器地址与端口、工作模式、APN、心跳与注册包、时钟、串口与射频参数；读取版本与场强；收发短信与TCP数据；在线升级固件（APP/IAP，CRC-32校验）。&lt;/p&gt;&lt;p&gt;没有设备时可用 &lt;tt&gt;dtutool --simulate&lt;/tt&gt; 连接内置的模拟 DTU。&lt;/p&gt;&lt;p&gt;使用说明（README）：&lt;br&gt;&lt;a href=&quot;%2&quot;&gt;%3&lt;/a&gt;&lt;/p&gt;</source>
        <translation>&lt;h3&gt;DTU参数配置工具 %1&lt;/h3&gt;&lt;p&gt;配置和测试 DTU（经串口连接的蜂窝通信模块）：读写电话号码与通讯ID列表、服务器地址与端口、工作模式、APN、心跳与注册包、时钟、串口与射频参数；读取版本与场强；收发短信与TCP数据；在线升级固件（APP/IAP，CRC-32校验）。&lt;/p&gt;&lt;p&gt;没有设备时可用 &lt;tt&gt;dtutool --simulate&lt;/tt&gt; 连接内置的模拟 DTU。&lt;/p&gt;&lt;p&gt;使用说明（README）：&lt;br&gt;&lt;a href=&quot;%2&quot;&gt;%3&lt;/a&gt;&lt;/p&gt;</translation>
    </message>
    <message>
        <source>中文</source>
        <translation>中文</translation>
    </message>
    <message>
        <source>英文</source>
        <translation>英文</translation>
    </message>
    <message>
        <source>下次启动时生效</source>
        <translation>下次启动时生效</translation>
    </message>
    <message>
        <source>界面语言(&amp;L):</source>
        <translation>界面语言(&amp;L):</translation>
    </message>
    <message>
        <source>下次启动时生效。</source>
        <translation>下次启动时生效。</translation>
    </message>
</context>
<context>
    <name>BenchModel</name>
    <message>
        <source>端口</source>
        <translation>端口</translation>
    </message>
    <message>
        <source>本机ID</source>
        <translation>本机ID</translation>
    </message>
    <message>
        <source>版本</source>
        <translation>版本</translation>
    </message>
    <message>
        <source>场强</source>
        <translation>场强</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>进度</source>
        <translation>进度</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>%1 秒</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <source>用时</source>
        <translation>用时</translation>
    </message>
    <message>
        <source>标签</source>
        <translation>标签</translation>
    </message>
</context>
<context>
    <name>BenchPage</name>
    <message>
        <source>批量操作</source>
        <translation>批量操作</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>端口</translation>
    </message>
    <message>
        <source>每行一个端口：勾选的端口一起读取、写入或升级，各自显示进度和结果</source>
        <translation>每行一个端口：勾选的端口一起读取、写入或升级，各自显示进度和结果</translation>
    </message>
    <message>
        <source>/dev/ttyUSB0 或 rfc2217://主机:端口</source>
        <translation>/dev/ttyUSB0 或 rfc2217://主机:端口</translation>
    </message>
    <message>
        <source>把输入的端口加入列表，下次启动仍在</source>
        <translation>把输入的端口加入列表，下次启动仍在</translation>
    </message>
    <message>
        <source>读取每个勾选端口上 DTU 的本机ID、版本和场强</source>
        <translation>读取每个勾选端口上 DTU 的本机ID、版本和场强</translation>
    </message>
    <message>
        <source>选一个配置文件，写入每个勾选的 DTU 并读回核对</source>
        <translation>选一个配置文件，写入每个勾选的 DTU 并读回核对</translation>
    </message>
    <message>
        <source>把一个固件文件发给每个勾选的 DTU</source>
        <translation>把一个固件文件发给每个勾选的 DTU</translation>
    </message>
    <message>
        <source>每个进行中的操作在下一个安全点停止</source>
        <translation>每个进行中的操作在下一个安全点停止</translation>
    </message>
    <message>
        <source>最近一次操作的汇总</source>
        <translation>最近一次操作的汇总</translation>
    </message>
    <message>
        <source>另一程序</source>
        <translation>另一程序</translation>
    </message>
    <message>
        <source>没有勾选的端口：请先勾选要操作的端口。</source>
        <translation>没有勾选的端口：请先勾选要操作的端口。</translation>
    </message>
    <message>
        <source>等待</source>
        <translation>等待</translation>
    </message>
    <message>
        <source>打开端口</source>
        <translation>打开端口</translation>
    </message>
    <message>
        <source>读取 %1</source>
        <translation>读取 %1</translation>
    </message>
    <message>
        <source>写入 %1</source>
        <translation>写入 %1</translation>
    </message>
    <message>
        <source>核对 %1</source>
        <translation>核对 %1</translation>
    </message>
    <message>
        <source>升级</source>
        <translation>升级</translation>
    </message>
    <message>
        <source>一致</source>
        <translation>一致</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>%1 项不一致</source>
        <translation>%1 项不一致</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>失败：%1</source>
        <translation>失败：%1</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>配置文件 (*.toml);;所有文件 (*)</source>
        <translation>配置文件 (*.toml);;所有文件 (*)</translation>
    </message>
    <message>
        <source>配置文件有错误，没有写入任何 DTU：
%1</source>
        <translation>配置文件有错误，没有写入任何 DTU：
%1</translation>
    </message>
    <message>
        <source>以哪种方式升级 %1？</source>
        <translation>以哪种方式升级 %1？</translation>
    </message>
    <message>
        <source>APP升级</source>
        <translation>APP升级</translation>
    </message>
    <message>
        <source>IAP升级</source>
        <translation>IAP升级</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>固件文件不能使用：%1</source>
        <translation>固件文件不能使用：%1</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV 文件 (*.csv)</translation>
    </message>
    <message>
        <source>报告没有保存：%1</source>
        <translation>报告没有保存：%1</translation>
    </message>
    <message>
        <source>写入结果：%1</source>
        <translation>写入结果：%1</translation>
    </message>
    <message>
        <source>全部 %1 项写入后读回一致。</source>
        <translation>全部 %1 项写入后读回一致。</translation>
    </message>
    <message>
        <source>%1 项读回不一致。</source>
        <translation>%1 项读回不一致。</translation>
    </message>
    <message>
        <source>DTU 无应答</source>
        <translation>DTU 无应答</translation>
    </message>
    <message>
        <source>%1 无应答</source>
        <translation>%1 无应答</translation>
    </message>
    <message>
        <source>端口断开</source>
        <translation>端口断开</translation>
    </message>
    <message>
        <source>服务器关闭了连接</source>
        <translation>服务器关闭了连接</translation>
    </message>
    <message>
        <source>DTU 拒绝了固件（DCK）</source>
        <translation>DTU 拒绝了固件（DCK）</translation>
    </message>
    <message>
        <source>（已确认 %1/%2 块）</source>
        <translation>（已确认 %1/%2 块）</translation>
    </message>
    <message>
        <source>打开每台 DTU 的作业记录</source>
        <translation>打开每台 DTU 的作业记录</translation>
    </message>
    <message>
        <source>不能记录，没有操作任何 DTU：%1</source>
        <translation>不能记录，没有操作任何 DTU：%1</translation>
    </message>
    <message>
        <source>波特率(&amp;B)</source>
        <translation>波特率(&amp;B)</translation>
    </message>
    <message>
        <source>校验(&amp;C)</source>
        <translation>校验(&amp;C)</translation>
    </message>
    <message>
        <source>操作员(&amp;O)</source>
        <translation>操作员(&amp;O)</translation>
    </message>
    <message>
        <source>添加端口(&amp;P)</source>
        <translation>添加端口(&amp;P)</translation>
    </message>
    <message>
        <source>添加(&amp;D)</source>
        <translation>添加(&amp;D)</translation>
    </message>
    <message>
        <source>全选(&amp;A)</source>
        <translation>全选(&amp;A)</translation>
    </message>
    <message>
        <source>全不选(&amp;N)</source>
        <translation>全不选(&amp;N)</translation>
    </message>
    <message>
        <source>只勾选失败的(&amp;F)</source>
        <translation>只勾选失败的(&amp;F)</translation>
    </message>
    <message>
        <source>只勾选上次操作失败或读回不一致的端口，以便重做</source>
        <translation>只勾选上次操作失败或读回不一致的端口，以便重做</translation>
    </message>
    <message>
        <source>读取信息(&amp;R)</source>
        <translation>读取信息(&amp;R)</translation>
    </message>
    <message>
        <source>写入配置(&amp;W)…</source>
        <translation>写入配置(&amp;W)…</translation>
    </message>
    <message>
        <source>升级固件(&amp;U)…</source>
        <translation>升级固件(&amp;U)…</translation>
    </message>
    <message>
        <source>停止(&amp;S)</source>
        <translation>停止(&amp;S)</translation>
    </message>
    <message>
        <source>导出报告(&amp;E)…</source>
        <translation>导出报告(&amp;E)…</translation>
    </message>
    <message>
        <source>把上次操作过的每行的结果存为 CSV 文件</source>
        <translation>把上次操作过的每行的结果存为 CSV 文件</translation>
    </message>
    <message>
        <source>记录(&amp;L)</source>
        <translation>记录(&amp;L)</translation>
    </message>
    <message>
        <source>%1 已在列表中。</source>
        <translation>%1 已在列表中。</translation>
    </message>
    <message>
        <source>%1 不是可用的网络端口：请写成 rfc2217://主机:端口 或 socket://主机:端口。</source>
        <translation>%1 不是可用的网络端口：请写成 rfc2217://主机:端口 或 socket://主机:端口。</translation>
    </message>
    <message>
        <source>找不到设备 %1：请输入存在的串口设备路径，如 /dev/ttyUSB0，或网络端口 rfc2217://主机:端口。</source>
        <translation>找不到设备 %1：请输入存在的串口设备路径，如 /dev/ttyUSB0，或网络端口 rfc2217://主机:端口。</translation>
    </message>
    <message>
        <source>未操作：主窗口正在使用这个端口</source>
        <translation>未操作：主窗口正在使用这个端口</translation>
    </message>
    <message>
        <source>未操作：端口被 %1 占用</source>
        <translation>未操作：端口被 %1 占用</translation>
    </message>
    <message>
        <source>已跳过</source>
        <translation>已跳过</translation>
    </message>
    <message>
        <source>；记录待送达</source>
        <translation>；记录待送达</translation>
    </message>
    <message>
        <source>；记录未完成</source>
        <translation>；记录未完成</translation>
    </message>
    <message>
        <source>完成 %1/%2</source>
        <translation>完成 %1/%2</translation>
    </message>
    <message>
        <source>，失败 %1</source>
        <translation>，失败 %1</translation>
    </message>
    <message>
        <source>，已停止 %1</source>
        <translation>，已停止 %1</translation>
    </message>
    <message>
        <source>，跳过 %1</source>
        <translation>，跳过 %1</translation>
    </message>
    <message>
        <source>%1 设置了本机ID %2：写入勾选的 %3 台 DTU 会使它们的本机ID都是 %2。
要给每台 DTU 各自的本机ID，请一台一台写入。</source>
        <translation>%1 设置了本机ID %2：写入勾选的 %3 台 DTU 会使它们的本机ID都是 %2。
要给每台 DTU 各自的本机ID，请一台一台写入。</translation>
    </message>
    <message>
        <source>都写入同一个本机ID</source>
        <translation>都写入同一个本机ID</translation>
    </message>
    <message>
        <source>固件 (*.bin);;所有文件 (*)</source>
        <translation>固件 (*.bin);;所有文件 (*)</translation>
    </message>
    <message>
        <source>测试 %1</source>
        <translation>测试 %1</translation>
    </message>
    <message>
        <source>测试(&amp;T)…</source>
        <translation>测试(&amp;T)…</translation>
    </message>
    <message>
        <source>选一个测试方案，测试每个勾选的 DTU：版本、场强、经测试服务器的注册、心跳和双向数据</source>
        <translation>选一个测试方案，测试每个勾选的 DTU：版本、场强、经测试服务器的注册、心跳和双向数据</translation>
    </message>
    <message>
        <source>测试方案 (*.toml);;所有文件 (*)</source>
        <translation>测试方案 (*.toml);;所有文件 (*)</translation>
    </message>
    <message>
        <source>测试方案有错误，没有测试任何 DTU：
%1</source>
        <translation>测试方案有错误，没有测试任何 DTU：
%1</translation>
    </message>
    <message>
        <source>测试方案按范围分配本机ID，这要由记录存放处分配，而记录已关闭。没有测试任何 DTU。</source>
        <translation>测试方案按范围分配本机ID，这要由记录存放处分配，而记录已关闭。没有测试任何 DTU。</translation>
    </message>
    <message>
        <source>测试服务器无法在 %1:%2 监听：%3。没有测试任何 DTU。</source>
        <translation>测试服务器无法在 %1:%2 监听：%3。没有测试任何 DTU。</translation>
    </message>
    <message>
        <source>通过</source>
        <translation>通过</translation>
    </message>
    <message>
        <source>测试结果：%1</source>
        <translation>测试结果：%1</translation>
    </message>
    <message>
        <source>测量</source>
        <translation>测量</translation>
    </message>
    <message>
        <source>值</source>
        <translation>值</translation>
    </message>
    <message>
        <source>单位</source>
        <translation>单位</translation>
    </message>
    <message>
        <source>下限</source>
        <translation>下限</translation>
    </message>
    <message>
        <source>上限</source>
        <translation>上限</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>测试的每一步：测得的值、它的限值和是否通过</source>
        <translation>测试的每一步：测得的值、它的限值和是否通过</translation>
    </message>
    <message>
        <source>本机ID %1  标签 %2  %3</source>
        <translation>本机ID %1  标签 %2  %3</translation>
    </message>
    <message>
        <source>无</source>
        <translation>无</translation>
    </message>
    <message>
        <source>通过 %1/%2</source>
        <translation>通过 %1/%2</translation>
    </message>
    <message>
        <source>这些端口的标签与上次测试的相同，换上的新 DTU 需要扫描新标签：
%1

同一台 DTU 重测时才保留。</source>
        <translation>这些端口的标签与上次测试的相同，换上的新 DTU 需要扫描新标签：
%1

同一台 DTU 重测时才保留。</translation>
    </message>
    <message>
        <source>同一台 DTU，重测</source>
        <translation>同一台 DTU，重测</translation>
    </message>
</context>
<context>
    <name>CommandsDialog</name>
    <message>
        <source>编辑快捷命令</source>
        <translation>编辑快捷命令</translation>
    </message>
    <message>
        <source>快捷命令(&amp;L):</source>
        <translation>快捷命令(&amp;L):</translation>
    </message>
    <message>
        <source>按钮名称</source>
        <translation>按钮名称</translation>
    </message>
    <message>
        <source>发送内容</source>
        <translation>发送内容</translation>
    </message>
    <message>
        <source>每行一条命令：按钮名称、发送内容、是否按十六进制发送</source>
        <translation>每行一条命令：按钮名称、发送内容、是否按十六进制发送</translation>
    </message>
    <message>
        <source>添加(&amp;A)</source>
        <translation>添加(&amp;A)</translation>
    </message>
    <message>
        <source>删除(&amp;D)</source>
        <translation>删除(&amp;D)</translation>
    </message>
</context>
<context>
    <name>DtuListsGroup</name>
    <message>
        <source>序列编号</source>
        <translation>序列编号</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>写入</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>读取</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>清空</translation>
    </message>
    <message>
        <source>手机号码管理</source>
        <translation>手机号码管理</translation>
    </message>
    <message>
        <source>增加</source>
        <translation>增加</translation>
    </message>
    <message>
        <source>电话号码</source>
        <translation>电话号码</translation>
    </message>
    <message>
        <source>DTU 的授权电话号码列表</source>
        <translation>DTU 的授权电话号码列表</translation>
    </message>
    <message>
        <source>号码:</source>
        <translation>号码:</translation>
    </message>
    <message>
        <source>通讯ID管理</source>
        <translation>通讯ID管理</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>自定义</translation>
    </message>
    <message>
        <source>MAC地址</source>
        <translation>MAC地址</translation>
    </message>
    <message>
        <source>DTU 的通讯 ID 列表</source>
        <translation>DTU 的通讯 ID 列表</translation>
    </message>
    <message>
        <source>通讯ID:</source>
        <translation>通讯ID:</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>设置</translation>
    </message>
</context>
<context>
    <name>DtuPacketsGroup</name>
    <message>
        <source>运营商管理</source>
        <translation>运营商管理</translation>
    </message>
    <message>
        <source>设置APN</source>
        <translation>设置APN</translation>
    </message>
    <message>
        <source>心跳自定义</source>
        <translation>心跳自定义</translation>
    </message>
    <message>
        <source>以十六进制显示心跳和注册包，并在所有十六进制输入框中只接受十六进制数字</source>
        <translation>以十六进制显示心跳和注册包，并在所有十六进制输入框中只接受十六进制数字</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>自定义</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>写入</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>读取</translation>
    </message>
    <message>
        <source>心跳:</source>
        <translation>心跳:</translation>
    </message>
    <message>
        <source>注册:</source>
        <translation>注册:</translation>
    </message>
</context>
<context>
    <name>DtuPage</name>
    <message>
        <source>提示！</source>
        <translation>提示！</translation>
    </message>
    <message>
        <source>DTU参数设置</source>
        <translation>DTU参数设置</translation>
    </message>
    <message>
        <source>产品型号:</source>
        <translation>产品型号:</translation>
    </message>
    <message>
        <source>就绪</source>
        <translation>就绪</translation>
    </message>
    <message>
        <source>运行正常</source>
        <translation>运行正常</translation>
    </message>
    <message>
        <source>页面状态</source>
        <translation>页面状态</translation>
    </message>
    <message>
        <source>请求与应答状态</source>
        <translation>请求与应答状态</translation>
    </message>
    <message>
        <source>运行状态</source>
        <translation>运行状态</translation>
    </message>
</context>
<context>
    <name>DtuProfileGroup</name>
    <message>
        <source>配置文件 (*.toml);;所有文件 (*)</source>
        <translation>配置文件 (*.toml);;所有文件 (*)</translation>
    </message>
    <message>
        <source>全部读取</source>
        <translation>全部读取</translation>
    </message>
    <message>
        <source>全部写入</source>
        <translation>全部写入</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>整机配置</source>
        <translation>整机配置</translation>
    </message>
    <message>
        <source>依次读取本型号的全部参数</source>
        <translation>依次读取本型号的全部参数</translation>
    </message>
    <message>
        <source>写入页面上本型号的全部参数并逐项读回核对</source>
        <translation>写入页面上本型号的全部参数并逐项读回核对</translation>
    </message>
    <message>
        <source>保存配置…</source>
        <translation>保存配置…</translation>
    </message>
    <message>
        <source>把页面上的参数保存为配置文件（dtuctl 可用）</source>
        <translation>把页面上的参数保存为配置文件（dtuctl 可用）</translation>
    </message>
    <message>
        <source>载入配置…</source>
        <translation>载入配置…</translation>
    </message>
    <message>
        <source>从配置文件填入页面，不发送</source>
        <translation>从配置文件填入页面，不发送</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>%1 %2/%3 …</source>
        <translation>%1 %2/%3 …</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>读取</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>写入</translation>
    </message>
    <message>
        <source>全部读取完成</source>
        <translation>全部读取完成</translation>
    </message>
    <message>
        <source>全部写入完成</source>
        <translation>全部写入完成</translation>
    </message>
    <message>
        <source>，无应答：</source>
        <translation>，无应答：</translation>
    </message>
    <message>
        <source>、</source>
        <translation>、</translation>
    </message>
    <message>
        <source>全部写入结果</source>
        <translation>全部写入结果</translation>
    </message>
    <message>
        <source>全部 %1 项写入后读回一致。</source>
        <translation>全部 %1 项写入后读回一致。</translation>
    </message>
    <message>
        <source>%1 项读回不一致，%2 个请求无应答。</source>
        <translation>%1 项读回不一致，%2 个请求无应答。</translation>
    </message>
    <message>
        <source>无法保存配置文件 %1：%2</source>
        <translation>无法保存配置文件 %1：%2</translation>
    </message>
    <message>
        <source>配置已保存</source>
        <translation>配置已保存</translation>
    </message>
    <message>
        <source>配置文件有误，页面没有改动：
</source>
        <translation>配置文件有误，页面没有改动：
</translation>
    </message>
    <message>
        <source>配置已载入（未发送）</source>
        <translation>配置已载入（未发送）</translation>
    </message>
    <message>
        <source>Not written: %1: the %2 page cannot set them.</source>
        <translation>未写入：%1：%2 页面不能设置这些参数。</translation>
    </message>
    <message>
        <source>不能记录，没有写入：%1</source>
        <translation>不能记录，没有写入：%1</translation>
    </message>
</context>
<context>
    <name>DtuResetGroup</name>
    <message>
        <source>系统复位</source>
        <translation>系统复位</translation>
    </message>
    <message>
        <source>重启DTU</source>
        <translation>重启DTU</translation>
    </message>
    <message>
        <source>无线配置</source>
        <translation>无线配置</translation>
    </message>
</context>
<context>
    <name>DtuSerialGroup</name>
    <message>
        <source>串口参数管理</source>
        <translation>串口参数管理</translation>
    </message>
    <message>
        <source>写入参数</source>
        <translation>写入参数</translation>
    </message>
    <message>
        <source>读取参数</source>
        <translation>读取参数</translation>
    </message>
    <message>
        <source>波特率:</source>
        <translation>波特率:</translation>
    </message>
    <message>
        <source>效验位:</source>
        <translation>效验位:</translation>
    </message>
    <message>
        <source>选择方式:</source>
        <translation>选择方式:</translation>
    </message>
    <message>
        <source>时间配置</source>
        <translation>时间配置</translation>
    </message>
    <message>
        <source>设置时间</source>
        <translation>设置时间</translation>
    </message>
    <message>
        <source>读取时间</source>
        <translation>读取时间</translation>
    </message>
</context>
<context>
    <name>DtuServerGroup</name>
    <message>
        <source>TCP服务器管理</source>
        <translation>TCP服务器管理</translation>
    </message>
    <message>
        <source>设置IP地址</source>
        <translation>设置IP地址</translation>
    </message>
    <message>
        <source>设置域名</source>
        <translation>设置域名</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>远程IP:</source>
        <translation>远程IP:</translation>
    </message>
    <message>
        <source>远程域名:</source>
        <translation>远程域名:</translation>
    </message>
    <message>
        <source>远程端口:</source>
        <translation>远程端口:</translation>
    </message>
    <message>
        <source>工作模式</source>
        <translation>工作模式</translation>
    </message>
    <message>
        <source>协议传输</source>
        <translation>协议传输</translation>
    </message>
    <message>
        <source>透明传输</source>
        <translation>透明传输</translation>
    </message>
    <message>
        <source>短信US2编码</source>
        <translation>短信US2编码</translation>
    </message>
    <message>
        <source>短信HEX编码</source>
        <translation>短信HEX编码</translation>
    </message>
    <message>
        <source>协议传输的选项</source>
        <translation>协议传输的选项</translation>
    </message>
    <message>
        <source>透明传输的方式</source>
        <translation>透明传输的方式</translation>
    </message>
    <message>
        <source>模式</source>
        <translation>模式</translation>
    </message>
    <message>
        <source>模式配置</source>
        <translation>模式配置</translation>
    </message>
    <message>
        <source>默认配置</source>
        <translation>默认配置</translation>
    </message>
    <message>
        <source>读网络参数</source>
        <translation>读网络参数</translation>
    </message>
</context>
<context>
    <name>DtuVersionGroup</name>
    <message>
        <source>版本/场强信息</source>
        <translation>版本/场强信息</translation>
    </message>
    <message>
        <source>读版本</source>
        <translation>读版本</translation>
    </message>
    <message>
        <source>读场强</source>
        <translation>读场强</translation>
    </message>
</context>
<context>
    <name>FailingChart</name>
    <message>
        <source>%1 失败 %2 次</source>
        <translation>%1 失败 %2 次</translation>
    </message>
    <message>
        <source>没有失败的测量项</source>
        <translation>没有失败的测量项</translation>
    </message>
    <message>
        <source>；</source>
        <translation>；</translation>
    </message>
    <message>
        <source>另有 %1 项，见提示</source>
        <translation>另有 %1 项，见提示</translation>
    </message>
</context>
<context>
    <name>LoginDialog</name>
    <message>
        <source>输入口令:</source>
        <translation>输入口令:</translation>
    </message>
    <message>
        <source>登录</source>
        <translation>登录</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>输入口令错误,请重新输入！</source>
        <translation>输入口令错误,请重新输入！</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>错误！</source>
        <translation>错误！</translation>
    </message>
    <message>
        <source>  不能进行DTU参数设置，请检查系统
设置中是否打开可用串口！</source>
        <translation>  不能进行DTU参数设置，请检查系统
设置中是否打开可用串口！</translation>
    </message>
    <message>
        <source>  不能进行短信发送，请检查系统
设置中是否打开可用串口！</source>
        <translation>  不能进行短信发送，请检查系统
设置中是否打开可用串口！</translation>
    </message>
    <message>
        <source>  不能进行透明传输，请检查系统
设置中是否打开可用串口！</source>
        <translation>  不能进行透明传输，请检查系统
设置中是否打开可用串口！</translation>
    </message>
    <message>
        <source>  不能进行TCP传输，请检查系统
设置中是否打开可用串口！</source>
        <translation>  不能进行TCP传输，请检查系统
设置中是否打开可用串口！</translation>
    </message>
    <message>
        <source>DTU参数配置工具-------Norvale V1.1</source>
        <translation>DTU参数配置工具-------Norvale V1.1</translation>
    </message>
    <message>
        <source>系统设置</source>
        <translation>系统设置</translation>
    </message>
    <message>
        <source>DTU参数设置</source>
        <translation>DTU参数设置</translation>
    </message>
    <message>
        <source>US2编码短信</source>
        <translation>US2编码短信</translation>
    </message>
    <message>
        <source>HEX编码短信</source>
        <translation>HEX编码短信</translation>
    </message>
    <message>
        <source>TCP透传</source>
        <translation>TCP透传</translation>
    </message>
    <message>
        <source>在线升级</source>
        <translation>在线升级</translation>
    </message>
    <message>
        <source>调试工具</source>
        <translation>调试工具</translation>
    </message>
    <message>
        <source>公司主页</source>
        <translation>公司主页</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>线路监视</source>
        <translation>线路监视</translation>
    </message>
    <message>
        <source>测试服务器</source>
        <translation>测试服务器</translation>
    </message>
    <message>
        <source>系统参数设置(&amp;E)</source>
        <translation>系统参数设置(&amp;E)</translation>
    </message>
    <message>
        <source>DTU参数设置(&amp;V)</source>
        <translation>DTU参数设置(&amp;V)</translation>
    </message>
    <message>
        <source>短信传输(&amp;S)</source>
        <translation>短信传输(&amp;S)</translation>
    </message>
    <message>
        <source>透明传输(&amp;T)</source>
        <translation>透明传输(&amp;T)</translation>
    </message>
    <message>
        <source>TCP传输(&amp;P)</source>
        <translation>TCP传输(&amp;P)</translation>
    </message>
    <message>
        <source>线路监视(&amp;M)</source>
        <translation>线路监视(&amp;M)</translation>
    </message>
    <message>
        <source>测试服务器(&amp;N)</source>
        <translation>测试服务器(&amp;N)</translation>
    </message>
    <message>
        <source>选择(&amp;C)</source>
        <translation>选择(&amp;C)</translation>
    </message>
    <message>
        <source>关于 Tavrin(&amp;A)...</source>
        <translation>关于 Tavrin(&amp;A)...</translation>
    </message>
    <message>
        <source>用工具栏或右键菜单打开各功能页。
先在“系统设置”中打开串口。</source>
        <translation>用工具栏或右键菜单打开各功能页。
先在“系统设置”中打开串口。</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>信息</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>串口 %1 已断开（设备被拔出或线路已关闭），该串口已关闭。
请检查连接后在“系统设置”中重新打开。</source>
        <translation>串口 %1 已断开（设备被拔出或线路已关闭），该串口已关闭。
请检查连接后在“系统设置”中重新打开。</translation>
    </message>
    <message>
        <source>网络端口 %1 的连接已断开（服务器关闭了连接、网络中断，或该端口正被另一用户使用），该端口已关闭。
请检查服务器和网络后在“系统设置”中重新打开。</source>
        <translation>网络端口 %1 的连接已断开（服务器关闭了连接、网络中断，或该端口正被另一用户使用），该端口已关闭。
请检查服务器和网络后在“系统设置”中重新打开。</translation>
    </message>
    <message>
        <source>用工具栏或右键菜单打开各功能页。</source>
        <translation>用工具栏或右键菜单打开各功能页。</translation>
    </message>
    <message>
        <source>No web browser could be started. The address, to copy:
%1</source>
        <translation>无法启动网页浏览器。网址如下，可复制：
%1</translation>
    </message>
    <message>
        <source>批量操作</source>
        <translation>批量操作</translation>
    </message>
    <message>
        <source>批量操作(&amp;B)</source>
        <translation>批量操作(&amp;B)</translation>
    </message>
    <message>
        <source>记录(&amp;R)</source>
        <translation>记录(&amp;R)</translation>
    </message>
</context>
<context>
    <name>MonitorWindow</name>
    <message>
        <source>时间</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>方向</translation>
    </message>
    <message>
        <source>长度</source>
        <translation>长度</translation>
    </message>
    <message>
        <source>字节</source>
        <translation>字节</translation>
    </message>
    <message>
        <source>含义</source>
        <translation>含义</translation>
    </message>
    <message>
        <source>线路监视</source>
        <translation>线路监视</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>全部</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>发送</translation>
    </message>
    <message>
        <source>接收</source>
        <translation>接收</translation>
    </message>
    <message>
        <source>方向(&amp;D)：</source>
        <translation>方向(&amp;D)：</translation>
    </message>
    <message>
        <source>全部命令</source>
        <translation>全部命令</translation>
    </message>
    <message>
        <source>数据帧（短信/TCP/透传）</source>
        <translation>数据帧（短信/TCP/透传）</translation>
    </message>
    <message>
        <source>命令(&amp;M)：</source>
        <translation>命令(&amp;M)：</translation>
    </message>
    <message>
        <source>暂停(&amp;P)</source>
        <translation>暂停(&amp;P)</translation>
    </message>
    <message>
        <source>暂停时照常记录，表格在继续后补上</source>
        <translation>暂停时照常记录，表格在继续后补上</translation>
    </message>
    <message>
        <source>清除(&amp;L)</source>
        <translation>清除(&amp;L)</translation>
    </message>
    <message>
        <source>复制(&amp;C)</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <source>把选中的行作为文本复制到剪贴板</source>
        <translation>把选中的行作为文本复制到剪贴板</translation>
    </message>
    <message>
        <source>保存(&amp;S)…</source>
        <translation>保存(&amp;S)…</translation>
    </message>
    <message>
        <source>把表格中的行保存为文本或 CSV 文件</source>
        <translation>把表格中的行保存为文本或 CSV 文件</translation>
    </message>
    <message>
        <source>表格中的帧数</source>
        <translation>表格中的帧数</translation>
    </message>
    <message>
        <source>线路上的帧</source>
        <translation>线路上的帧</translation>
    </message>
    <message>
        <source>%1 帧</source>
        <translation>%1 帧</translation>
    </message>
    <message>
        <source>继续(&amp;P)</source>
        <translation>继续(&amp;P)</translation>
    </message>
    <message>
        <source>;;文本 (*.txt);;所有文件 (*)</source>
        <translation>;;文本 (*.txt);;所有文件 (*)</translation>
    </message>
    <message>
        <source>错误！</source>
        <translation>错误！</translation>
    </message>
    <message>
        <source>无法写入文件 %1。</source>
        <translation>无法写入文件 %1。</translation>
    </message>
    <message>
        <source>收到但未能记录的字节数</source>
        <translation>收到但未能记录的字节数</translation>
    </message>
</context>
<context>
    <name>PeriodsChart</name>
    <message>
        <source>没有通过或失败的测试</source>
        <translation>没有通过或失败的测试</translation>
    </message>
    <message>
        <source>；</source>
        <translation>；</translation>
    </message>
    <message>
        <source>%1：通过 %2，失败 %3</source>
        <translation>%1：通过 %2，失败 %3</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>通过</source>
        <translation>通过</translation>
    </message>
    <message>
        <source>最近 %1 小时</source>
        <translation>最近 %1 小时</translation>
    </message>
    <message>
        <source>最近 %1 天</source>
        <translation>最近 %1 天</translation>
    </message>
</context>
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>文件夹</translation>
    </message>
</context>
<context>
    <name>Records</name>
    <message>
        <source>记录库未能收到记录的结果（%1）：结果已存放在本机，记录库恢复后送达。</source>
        <translation>记录库未能收到记录的结果（%1）：结果已存放在本机，记录库恢复后送达。</translation>
    </message>
    <message>
        <source>记录未能完成：%1</source>
        <translation>记录未能完成：%1</translation>
    </message>
</context>
<context>
    <name>RecordsModel</name>
    <message>
        <source>读取</source>
        <translation>读取</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>写入</translation>
    </message>
    <message>
        <source>升级</source>
        <translation>升级</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>中断</source>
        <translation>中断</translation>
    </message>
    <message>
        <source>没有结束的记录：作业被中断，或仍在进行</source>
        <translation>没有结束的记录：作业被中断，或仍在进行</translation>
    </message>
    <message>
        <source>开始时间</source>
        <translation>开始时间</translation>
    </message>
    <message>
        <source>结束时间</source>
        <translation>结束时间</translation>
    </message>
    <message>
        <source>本机ID</source>
        <translation>本机ID</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>操作</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>端口</translation>
    </message>
    <message>
        <source>版本</source>
        <translation>版本</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>工作站</source>
        <translation>工作站</translation>
    </message>
    <message>
        <source>操作员</source>
        <translation>操作员</translation>
    </message>
    <message>
        <source>详情</source>
        <translation>详情</translation>
    </message>
    <message>
        <source>%1

记录中的原文：%2</source>
        <translation>%1

记录中的原文：%2</translation>
    </message>
    <message>
        <source>测试</source>
        <translation>测试</translation>
    </message>
    <message>
        <source>出错</source>
        <translation>出错</translation>
    </message>
    <message>
        <source>本机ID %1，标签 %2</source>
        <translation>本机ID %1，标签 %2</translation>
    </message>
    <message>
        <source>通过</source>
        <translation>通过</translation>
    </message>
</context>
<context>
    <name>RecordsPage</name>
    <message>
        <source>记录</source>
        <translation>记录</translation>
    </message>
    <message>
        <source>记录已关闭：作业不留记录，这里没有可显示的。</source>
        <translation>记录已关闭：作业不留记录，这里没有可显示的。</translation>
    </message>
    <message>
        <source>无法打开记录：
%1</source>
        <translation>无法打开记录：
%1</translation>
    </message>
    <message>
        <source>筛选</source>
        <translation>筛选</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>刷新</translation>
    </message>
    <message>
        <source>重新读取记录 (F5)</source>
        <translation>重新读取记录 (F5)</translation>
    </message>
    <message>
        <source>导出…</source>
        <translation>导出…</translation>
    </message>
    <message>
        <source>把符合筛选的全部记录存为 CSV 文件，与 dtuctl records --csv 相同</source>
        <translation>把符合筛选的全部记录存为 CSV 文件，与 dtuctl records --csv 相同</translation>
    </message>
    <message>
        <source>表中记录的数目</source>
        <translation>表中记录的数目</translation>
    </message>
    <message>
        <source>读取更多记录失败：%1</source>
        <translation>读取更多记录失败：%1</translation>
    </message>
    <message>
        <source>无法读取记录：
%1</source>
        <translation>无法读取记录：
%1</translation>
    </message>
    <message>
        <source>已显示最新的 %1 条记录，向下滚动显示更多</source>
        <translation>已显示最新的 %1 条记录，向下滚动显示更多</translation>
    </message>
    <message>
        <source>没有记录</source>
        <translation>没有记录</translation>
    </message>
    <message>
        <source>没有符合“%1”的记录</source>
        <translation>没有符合“%1”的记录</translation>
    </message>
    <message>
        <source>共 %1 条记录</source>
        <translation>共 %1 条记录</translation>
    </message>
    <message>
        <source>共 %1 条记录符合“%2”</source>
        <translation>共 %1 条记录符合“%2”</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV 文件 (*.csv)</translation>
    </message>
    <message>
        <source>记录没有导出：%1</source>
        <translation>记录没有导出：%1</translation>
    </message>
    <message>
        <source>已把 %1 条记录导出到 %2</source>
        <translation>已把 %1 条记录导出到 %2</translation>
    </message>
    <message>
        <source>存放位置：%1</source>
        <translation>存放位置：%1</translation>
    </message>
    <message>
        <source>无（记录已关闭）</source>
        <translation>无（记录已关闭）</translation>
    </message>
    <message>
        <source>位置…</source>
        <translation>位置…</translation>
    </message>
    <message>
        <source>选择记录存放的 SQLite 文件或 PostgreSQL 数据库</source>
        <translation>选择记录存放的 SQLite 文件或 PostgreSQL 数据库</translation>
    </message>
    <message>
        <source>位置由环境变量 DTUTOOL_RECORDS 指定</source>
        <translation>位置由环境变量 DTUTOOL_RECORDS 指定</translation>
    </message>
    <message>
        <source>记录存放位置</source>
        <translation>记录存放位置</translation>
    </message>
    <message>
        <source>SQLite 文件的路径、off（不记录），或 postgresql://用户@主机/数据库。
留空为默认文件 ~/.local/share/dtutool/records.sqlite。密码请放在 ~/.pgpass。</source>
        <translation>SQLite 文件的路径、off（不记录），或 postgresql://用户@主机/数据库。
留空为默认文件 ~/.local/share/dtutool/records.sqlite。密码请放在 ~/.pgpass。</translation>
    </message>
    <message>
        <source>正在连接记录存放处…</source>
        <translation>正在连接记录存放处…</translation>
    </message>
    <message>
        <source>已显示最新的 %1 条记录，按“%2”排列，向下滚动显示更多</source>
        <translation>已显示最新的 %1 条记录，按“%2”排列，向下滚动显示更多</translation>
    </message>
    <message>
        <source>；另有 %1 条记录的结果在本机等待送达</source>
        <translation>；另有 %1 条记录的结果在本机等待送达</translation>
    </message>
    <message>
        <source>正在读取记录…</source>
        <translation>正在读取记录…</translation>
    </message>
    <message>
        <source>正在导出到 %1…</source>
        <translation>正在导出到 %1…</translation>
    </message>
    <message>
        <source>本机ID、标签、端口、操作、结果或详情</source>
        <translation>本机ID、标签、端口、操作、结果或详情</translation>
    </message>
    <message>
        <source>产量</source>
        <translation>产量</translation>
    </message>
    <message>
        <source>在表上方显示表中测试的单位数、合格率、每天的测试和失败最多的测量项</source>
        <translation>在表上方显示表中测试的单位数、合格率、每天的测试和失败最多的测量项</translation>
    </message>
    <message>
        <source>每行一次作业，最新的在前：开始和结束时间、本机ID（测试的还有标签）、操作、结果和详情</source>
        <translation>每行一次作业，最新的在前：开始和结束时间、本机ID（测试的还有标签）、操作、结果和详情</translation>
    </message>
    <message>
        <source>无法读取产量：%1</source>
        <translation>无法读取产量：%1</translation>
    </message>
</context>
<context>
    <name>RfDialog</name>
    <message>
        <source>无线参数配置页</source>
        <translation>无线参数配置页</translation>
    </message>
    <message>
        <source>无线频率</source>
        <translation>无线频率</translation>
    </message>
    <message>
        <source>休眠周期</source>
        <translation>休眠周期</translation>
    </message>
    <message>
        <source>呼吸时间</source>
        <translation>呼吸时间</translation>
    </message>
    <message>
        <source>网络地址</source>
        <translation>网络地址</translation>
    </message>
    <message>
        <source>发送功率</source>
        <translation>发送功率</translation>
    </message>
    <message>
        <source>提示！</source>
        <translation>提示！</translation>
    </message>
</context>
<context>
    <name>SerialSettingsPage</name>
    <message>
        <source>%1 只允许 %2 组的用户打开，当前用户不在该组。执行下面的命令，然后注销并重新登录（新的登录才带有该组）：</source>
        <translation>%1 只允许 %2 组的用户打开，当前用户不在该组。执行下面的命令，然后注销并重新登录（新的登录才带有该组）：</translation>
    </message>
    <message>
        <source>当前用户已加入 %1 组，但本次登录早于此，还不带有该组：请注销并重新登录；在此之前，可在下面命令打开的终端中启动本工具：</source>
        <translation>当前用户已加入 %1 组，但本次登录早于此，还不带有该组：请注销并重新登录；在此之前，可在下面命令打开的终端中启动本工具：</translation>
    </message>
    <message>
        <source>%1 正被 ModemManager（进程 %2）占用：它向一切像调制解调器的设备发送 AT 命令，DTU 也不例外。用下面的 udev 规则让它忽略串口适配器，或停止它（sudo systemctl stop ModemManager）：</source>
        <translation>%1 正被 ModemManager（进程 %2）占用：它向一切像调制解调器的设备发送 AT 命令，DTU 也不例外。用下面的 udev 规则让它忽略串口适配器，或停止它（sudo systemctl stop ModemManager）：</translation>
    </message>
    <message>
        <source>%1 正被 %2（进程 %3）占用。请关闭该程序，或结束它：</source>
        <translation>%1 正被 %2（进程 %3）占用。请关闭该程序，或结束它：</translation>
    </message>
    <message>
        <source>ModemManager 正在运行，且没有 udev 规则让它忽略串口适配器：它可能打开 DTU 的串口并发送 AT 命令。安装下面的规则，或停止它（sudo systemctl stop ModemManager）：</source>
        <translation>ModemManager 正在运行，且没有 udev 规则让它忽略串口适配器：它可能打开 DTU 的串口并发送 AT 命令。安装下面的规则，或停止它（sudo systemctl stop ModemManager）：</translation>
    </message>
    <message>
        <source>USB %1 上的 CH340/CH341 适配器没有串口：盲文显示服务 brltty 占用了这类适配器。卸载 brltty（若使用盲文显示器，请改为停用其针对 1a86:7523 的规则），然后重新插拔适配器：</source>
        <translation>USB %1 上的 CH340/CH341 适配器没有串口：盲文显示服务 brltty 占用了这类适配器。卸载 brltty（若使用盲文显示器，请改为停用其针对 1a86:7523 的规则），然后重新插拔适配器：</translation>
    </message>
    <message>
        <source>串口参数配置</source>
        <translation>串口参数配置</translation>
    </message>
    <message>
        <source>串口参数</source>
        <translation>串口参数</translation>
    </message>
    <message>
        <source>串   口：</source>
        <translation>串   口：</translation>
    </message>
    <message>
        <source>波特率：</source>
        <translation>波特率：</translation>
    </message>
    <message>
        <source>效   验：</source>
        <translation>效   验：</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>刷新</translation>
    </message>
    <message>
        <source>断开后自动重新连接</source>
        <translation>断开后自动重新连接</translation>
    </message>
    <message>
        <source>打开的 USB 串口被拔出后，再次插入时以相同设置自动重新打开</source>
        <translation>打开的 USB 串口被拔出后，再次插入时以相同设置自动重新打开</translation>
    </message>
    <message>
        <source>打开失败的原因</source>
        <translation>打开失败的原因</translation>
    </message>
    <message>
        <source>自动重新连接的状态</source>
        <translation>自动重新连接的状态</translation>
    </message>
    <message>
        <source>串口缺失的原因及解决命令</source>
        <translation>串口缺失的原因及解决命令</translation>
    </message>
    <message>
        <source>没有找到可以打开的串口。</source>
        <translation>没有找到可以打开的串口。</translation>
    </message>
    <message>
        <source>请从列表中选择波特率和效验位。</source>
        <translation>请从列表中选择波特率和效验位。</translation>
    </message>
    <message>
        <source>已取消自动重新连接 %1。</source>
        <translation>已取消自动重新连接 %1。</translation>
    </message>
    <message>
        <source>串口 %1 已断开。插回同一设备（%2）后，将以相同设置（%3 波特，%4）自动重新打开。</source>
        <translation>串口 %1 已断开。插回同一设备（%2）后，将以相同设置（%3 波特，%4）自动重新打开。</translation>
    </message>
    <message>
        <source>已重新打开 %1（%2 波特，%3），与断开前的设置相同。断开时中止的传输不会自动继续，请重新开始。</source>
        <translation>已重新打开 %1（%2 波特，%3），与断开前的设置相同。断开时中止的传输不会自动继续，请重新开始。</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>可选择或输入设备路径；/dev/serial/by-id/ 下的名称在重新插拔后不变。也可输入网络端口 rfc2217://主机:端口 或 socket://主机:端口</source>
        <translation>可选择或输入设备路径；/dev/serial/by-id/ 下的名称在重新插拔后不变。也可输入网络端口 rfc2217://主机:端口 或 socket://主机:端口</translation>
    </message>
    <message>
        <source>网络端口的连接与线路设置</source>
        <translation>网络端口的连接与线路设置</translation>
    </message>
    <message>
        <source>正在连接 %1 …</source>
        <translation>正在连接 %1 …</translation>
    </message>
    <message>
        <source>已取消连接 %1。</source>
        <translation>已取消连接 %1。</translation>
    </message>
    <message>
        <source>已连接 %1。socket:// 端口的波特率和效验位由服务器决定，本页的设置对它不起作用。</source>
        <translation>已连接 %1。socket:// 端口的波特率和效验位由服务器决定，本页的设置对它不起作用。</translation>
    </message>
    <message>
        <source>已连接 %1，服务器已确认线路设置：%2 波特，%3，8 位数据位，1 位停止位。</source>
        <translation>已连接 %1，服务器已确认线路设置：%2 波特，%3，8 位数据位，1 位停止位。</translation>
    </message>
    <message>
        <source>网络端口 %1 的连接已断开（服务器关闭了连接、网络中断，或该端口正被另一用户使用）。将以相同设置（%2 波特，%3）每 %4 秒重新连接一次。</source>
        <translation>网络端口 %1 的连接已断开（服务器关闭了连接、网络中断，或该端口正被另一用户使用）。将以相同设置（%2 波特，%3）每 %4 秒重新连接一次。</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>SmsHexPage</name>
    <message>
        <source>短信HEX编码方式传输</source>
        <translation>短信HEX编码方式传输</translation>
    </message>
    <message>
        <source>HEX文本</source>
        <translation>HEX文本</translation>
    </message>
    <message>
        <source>此方式下最多 %1 字节（%2 位十六进制数字，空格不计）。
现为 %3 字节。</source>
        <translation>此方式下最多 %1 字节（%2 位十六进制数字，空格不计）。
现为 %3 字节。</translation>
    </message>
</context>
<context>
    <name>SmsTextPage</name>
    <message>
        <source>短信US2编码方式传输</source>
        <translation>短信US2编码方式传输</translation>
    </message>
    <message>
        <source>文本</source>
        <translation>文本</translation>
    </message>
    <message>
        <source>此方式下短信文本最多 %1 字节（一个汉字占 2 字节）。
现为 %2 字节。</source>
        <translation>此方式下短信文本最多 %1 字节（一个汉字占 2 字节）。
现为 %2 字节。</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>DTU参数配置工具</source>
        <translation>DTU参数配置工具</translation>
    </message>
    <message>
        <source>模拟DTU</source>
        <translation>模拟DTU</translation>
    </message>
    <message>
        <source>本机无法进行 GBK 编码转换（缺少 glibc 的 gconv 模块），中文不能正确收发：发出的中文会变成“?”，收到的中文显示为“�”。
请重新安装软件包 libc6：sudo apt-get install --reinstall libc6</source>
        <translation>本机无法进行 GBK 编码转换（缺少 glibc 的 gconv 模块），中文不能正确收发：发出的中文会变成“?”，收到的中文显示为“�”。
请重新安装软件包 libc6：sudo apt-get install --reinstall libc6</translation>
    </message>
    <message>
        <source>模拟DTU %1</source>
        <translation>模拟DTU %1</translation>
    </message>
</context>
<context>
    <name>TcpPage</name>
    <message>
        <source>提示！</source>
        <translation>提示！</translation>
    </message>
    <message>
        <source>TCP数据传输</source>
        <translation>TCP数据传输</translation>
    </message>
    <message>
        <source>TCP数据接收区:</source>
        <translation>TCP数据接收区:</translation>
    </message>
    <message>
        <source>只保留最新收到的约 1 MB 文本（约 34 万字节），更早的数据自动丢弃</source>
        <translation>只保留最新收到的约 1 MB 文本（约 34 万字节），更早的数据自动丢弃</translation>
    </message>
    <message>
        <source>TCP数据发送区:</source>
        <translation>TCP数据发送区:</translation>
    </message>
    <message>
        <source>清空数据区</source>
        <translation>清空数据区</translation>
    </message>
    <message>
        <source>清空接收区</source>
        <translation>清空接收区</translation>
    </message>
    <message>
        <source>清空全部</source>
        <translation>清空全部</translation>
    </message>
    <message>
        <source>模式切换</source>
        <translation>模式切换</translation>
    </message>
    <message>
        <source>协议模式</source>
        <translation>协议模式</translation>
    </message>
    <message>
        <source>透传模式</source>
        <translation>透传模式</translation>
    </message>
    <message>
        <source>通迅MAC地址</source>
        <translation>通迅MAC地址</translation>
    </message>
    <message>
        <source>12位十六进制数字</source>
        <translation>12位十六进制数字</translation>
    </message>
    <message>
        <source>数据发送</source>
        <translation>数据发送</translation>
    </message>
    <message>
        <source>1对多发送</source>
        <translation>1对多发送</translation>
    </message>
    <message>
        <source>1对1发送</source>
        <translation>1对1发送</translation>
    </message>
    <message>
        <source>

此方式下最多发送 %1 字节（%2 位十六进制数字，空格不计）。
现为 %3 字节。</source>
        <translation>

此方式下最多发送 %1 字节（%2 位十六进制数字，空格不计）。
现为 %3 字节。</translation>
    </message>
</context>
<context>
    <name>TerminalWindow</name>
    <message>
        <source>无法写入日志文件 %1：%2</source>
        <translation>无法写入日志文件 %1：%2</translation>
    </message>
    <message>
        <source>写入日志文件 %1 失败：%2</source>
        <translation>写入日志文件 %1 失败：%2</translation>
    </message>
    <message>
        <source>日志文件 %1 已被删除（或其所在文件夹已被删除）</source>
        <translation>日志文件 %1 已被删除（或其所在文件夹已被删除）</translation>
    </message>
    <message>
        <source>提示！</source>
        <translation>提示！</translation>
    </message>
    <message>
        <source>保存日志…</source>
        <translation>保存日志…</translation>
    </message>
    <message>
        <source>调试工具</source>
        <translation>调试工具</translation>
    </message>
    <message>
        <source>串口状态</source>
        <translation>串口状态</translation>
    </message>
    <message>
        <source>系统设置…</source>
        <translation>系统设置…</translation>
    </message>
    <message>
        <source>打开串口设置页，在那里打开或关闭串口</source>
        <translation>打开串口设置页，在那里打开或关闭串口</translation>
    </message>
    <message>
        <source>接收区</source>
        <translation>接收区</translation>
    </message>
    <message>
        <source>收到的数据，每段数据（线路静默处结束）另起一行；只保留最新的部分</source>
        <translation>收到的数据，每段数据（线路静默处结束）另起一行；只保留最新的部分</translation>
    </message>
    <message>
        <source>文本</source>
        <translation>文本</translation>
    </message>
    <message>
        <source>文本+HEX</source>
        <translation>文本+HEX</translation>
    </message>
    <message>
        <source>收到和发送的文本所用的编码</source>
        <translation>收到和发送的文本所用的编码</translation>
    </message>
    <message>
        <source>时间戳</source>
        <translation>时间戳</translation>
    </message>
    <message>
        <source>每段数据前显示时间，精确到毫秒</source>
        <translation>每段数据前显示时间，精确到毫秒</translation>
    </message>
    <message>
        <source>显示发送</source>
        <translation>显示发送</translation>
    </message>
    <message>
        <source>接收区也显示发出的数据，以 TX 标出，收到的以 RX 标出</source>
        <translation>接收区也显示发出的数据，以 TX 标出，收到的以 RX 标出</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>清空</translation>
    </message>
    <message>
        <source>清空接收区</source>
        <translation>清空接收区</translation>
    </message>
    <message>
        <source>把本次会话（收发两个方向，带时间）随时写入一个文本文件</source>
        <translation>把本次会话（收发两个方向，带时间）随时写入一个文本文件</translation>
    </message>
    <message>
        <source>日志状态</source>
        <translation>日志状态</translation>
    </message>
    <message>
        <source>回车发送；上下方向键翻看发送过的内容</source>
        <translation>回车发送；上下方向键翻看发送过的内容</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>发送</translation>
    </message>
    <message>
        <source>HEX发送</source>
        <translation>HEX发送</translation>
    </message>
    <message>
        <source>发送行按十六进制字节解读，如 41 54 0D</source>
        <translation>发送行按十六进制字节解读，如 41 54 0D</translation>
    </message>
    <message>
        <source>无</source>
        <translation>无</translation>
    </message>
    <message>
        <source>定时发送</source>
        <translation>定时发送</translation>
    </message>
    <message>
        <source>勾选时的发送内容按间隔反复发送，串口关闭或窗口关闭时停止</source>
        <translation>勾选时的发送内容按间隔反复发送，串口关闭或窗口关闭时停止</translation>
    </message>
    <message>
        <source>快捷命令</source>
        <translation>快捷命令</translation>
    </message>
    <message>
        <source>编辑…</source>
        <translation>编辑…</translation>
    </message>
    <message>
        <source>添加、修改或删除快捷命令</source>
        <translation>添加、修改或删除快捷命令</translation>
    </message>
    <message>
        <source>显示:</source>
        <translation>显示:</translation>
    </message>
    <message>
        <source>编码:</source>
        <translation>编码:</translation>
    </message>
    <message>
        <source>发送:</source>
        <translation>发送:</translation>
    </message>
    <message>
        <source>行尾:</source>
        <translation>行尾:</translation>
    </message>
    <message>
        <source>间隔:</source>
        <translation>间隔:</translation>
    </message>
    <message>
        <source>串口 %1 已打开（%2 bps）。</source>
        <translation>串口 %1 已打开（%2 bps）。</translation>
    </message>
    <message>
        <source>串口未打开，不能发送。请在“系统设置”中打开串口。</source>
        <translation>串口未打开，不能发送。请在“系统设置”中打开串口。</translation>
    </message>
    <message>
        <source>十六进制字节，如 41 54 0D 0A</source>
        <translation>十六进制字节，如 41 54 0D 0A</translation>
    </message>
    <message>
        <source>文本，如 AT+CSQ；回车发送</source>
        <translation>文本，如 AT+CSQ；回车发送</translation>
    </message>
    <message>
        <source>发送行是空的，没有可定时发送的内容！</source>
        <translation>发送行是空的，没有可定时发送的内容！</translation>
    </message>
    <message>
        <source>发送失败：%1</source>
        <translation>发送失败：%1</translation>
    </message>
    <message>
        <source>还没有快捷命令。
按“编辑…”添加。</source>
        <translation>还没有快捷命令。
按“编辑…”添加。</translation>
    </message>
    <message>
        <source>发送%1：%2</source>
        <translation>发送%1：%2</translation>
    </message>
    <message>
        <source>十六进制</source>
        <translation>十六进制</translation>
    </message>
    <message>
        <source>快捷命令“%1”：%2</source>
        <translation>快捷命令“%1”：%2</translation>
    </message>
    <message>
        <source>日志文件 (*.log *.txt);;所有文件 (*)</source>
        <translation>日志文件 (*.log *.txt);;所有文件 (*)</translation>
    </message>
    <message>
        <source>串口 %1，%2 bps</source>
        <translation>串口 %1，%2 bps</translation>
    </message>
    <message>
        <source>串口未打开</source>
        <translation>串口未打开</translation>
    </message>
    <message>
        <source># 调试工具会话日志，开始于 %1，%2</source>
        <translation># 调试工具会话日志，开始于 %1，%2</translation>
    </message>
    <message>
        <source>停止日志</source>
        <translation>停止日志</translation>
    </message>
    <message>
        <source>正在记录日志：%1</source>
        <translation>正在记录日志：%1</translation>
    </message>
    <message>
        <source>日志已停止：%1</source>
        <translation>日志已停止：%1</translation>
    </message>
    <message>
        <source>%1
日志已停止，终端照常工作。</source>
        <translation>%1
日志已停止，终端照常工作。</translation>
    </message>
    <message>
        <source>发送数据第 %1 个字符“%2”不能用 GBK 编码发送，请改用 UTF-8 或删去它！</source>
        <translation>发送数据第 %1 个字符“%2”不能用 GBK 编码发送，请改用 UTF-8 或删去它！</translation>
    </message>
    <message>
        <source>发送数据共 %1 位十六进制数字，不是整字节：每个字节两位，请补足或删去一位！</source>
        <translation>发送数据共 %1 位十六进制数字，不是整字节：每个字节两位，请补足或删去一位！</translation>
    </message>
    <message>
        <source>接收区最多保留的行数；更早的行移出接收区（日志中仍有）</source>
        <translation>接收区最多保留的行数；更早的行移出接收区（日志中仍有）</translation>
    </message>
    <message>
        <source>移出接收区的行数</source>
        <translation>移出接收区的行数</translation>
    </message>
    <message>
        <source>保留行数:</source>
        <translation>保留行数:</translation>
    </message>
    <message>
        <source>更早的 %1 行已移出接收区（最多保留 %2 行）</source>
        <translation>更早的 %1 行已移出接收区（最多保留 %2 行）</translation>
    </message>
</context>
<context>
    <name>TestServerPage</name>
    <message>
        <source>测试服务器</source>
        <translation>测试服务器</translation>
    </message>
    <message>
        <source>注册包</source>
        <translation>注册包</translation>
    </message>
    <message>
        <source>心跳</source>
        <translation>心跳</translation>
    </message>
    <message>
        <source>数据</source>
        <translation>数据</translation>
    </message>
    <message>
        <source>未启动</source>
        <translation>未启动</translation>
    </message>
    <message>
        <source>监听</source>
        <translation>监听</translation>
    </message>
    <message>
        <source>启动</source>
        <translation>启动</translation>
    </message>
    <message>
        <source>服务器状态</source>
        <translation>服务器状态</translation>
    </message>
    <message>
        <source>地址(&amp;A):</source>
        <translation>地址(&amp;A):</translation>
    </message>
    <message>
        <source>端口(&amp;P):</source>
        <translation>端口(&amp;P):</translation>
    </message>
    <message>
        <source>期望的注册包和心跳包</source>
        <translation>期望的注册包和心跳包</translation>
    </message>
    <message>
        <source>期望的包按十六进制输入</source>
        <translation>期望的包按十六进制输入</translation>
    </message>
    <message>
        <source>取自DTU参数页</source>
        <translation>取自DTU参数页</translation>
    </message>
    <message>
        <source>远程端口、注册包和心跳包取自“DTU参数设置”页</source>
        <translation>远程端口、注册包和心跳包取自“DTU参数设置”页</translation>
    </message>
    <message>
        <source>注册包(&amp;R):</source>
        <translation>注册包(&amp;R):</translation>
    </message>
    <message>
        <source>心跳包(&amp;H):</source>
        <translation>心跳包(&amp;H):</translation>
    </message>
    <message>
        <source>连接</source>
        <translation>连接</translation>
    </message>
    <message>
        <source>每个连接一行：DTU 地址、连接时间、收发字节、注册包比对和心跳</source>
        <translation>每个连接一行：DTU 地址、连接时间、收发字节、注册包比对和心跳</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>编号</translation>
    </message>
    <message>
        <source>DTU地址</source>
        <translation>DTU地址</translation>
    </message>
    <message>
        <source>连接时间</source>
        <translation>连接时间</translation>
    </message>
    <message>
        <source>收(字节)</source>
        <translation>收(字节)</translation>
    </message>
    <message>
        <source>发(字节)</source>
        <translation>发(字节)</translation>
    </message>
    <message>
        <source>最后活动</source>
        <translation>最后活动</translation>
    </message>
    <message>
        <source>注册比对</source>
        <translation>注册比对</translation>
    </message>
    <message>
        <source>心跳间隔</source>
        <translation>心跳间隔</translation>
    </message>
    <message>
        <source>所选连接的数据</source>
        <translation>所选连接的数据</translation>
    </message>
    <message>
        <source>只显示最新的 %1 行</source>
        <translation>只显示最新的 %1 行</translation>
    </message>
    <message>
        <source>Hex显示</source>
        <translation>Hex显示</translation>
    </message>
    <message>
        <source>文本编码(&amp;E):</source>
        <translation>文本编码(&amp;E):</translation>
    </message>
    <message>
        <source>发送内容按十六进制输入</source>
        <translation>发送内容按十六进制输入</translation>
    </message>
    <message>
        <source>发送到所选</source>
        <translation>发送到所选</translation>
    </message>
    <message>
        <source>发送到全部</source>
        <translation>发送到全部</translation>
    </message>
    <message>
        <source>断开所选</source>
        <translation>断开所选</translation>
    </message>
    <message>
        <source>发送(&amp;S):</source>
        <translation>发送(&amp;S):</translation>
    </message>
    <message>
        <source>记录到文件...</source>
        <translation>记录到文件...</translation>
    </message>
    <message>
        <source>未记录</source>
        <translation>未记录</translation>
    </message>
    <message>
        <source>日志文件</source>
        <translation>日志文件</translation>
    </message>
    <message>
        <source>：</source>
        <translation>：</translation>
    </message>
    <message>
        <source>心跳包</source>
        <translation>心跳包</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>端口须为 0 到 65535 的数字！</source>
        <translation>端口须为 0 到 65535 的数字！</translation>
    </message>
    <message>
        <source>无法监听</source>
        <translation>无法监听</translation>
    </message>
    <message>
        <source>无法启动服务器：%1</source>
        <translation>无法启动服务器：%1</translation>
    </message>
    <message>
        <source>正在监听 %1:%2（TCP，无认证）</source>
        <translation>正在监听 %1:%2（TCP，无认证）</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>一致</source>
        <translation>一致</translation>
    </message>
    <message>
        <source>不一致</source>
        <translation>不一致</translation>
    </message>
    <message>
        <source>未收到</source>
        <translation>未收到</translation>
    </message>
    <message>
        <source>%1 %2 %3 %4字节: %5</source>
        <translation>%1 %2 %3 %4字节: %5</translation>
    </message>
    <message>
        <source>发</source>
        <translation>发</translation>
    </message>
    <message>
        <source>收</source>
        <translation>收</translation>
    </message>
    <message>
        <source>请先在列表中选择一个连接！</source>
        <translation>请先在列表中选择一个连接！</translation>
    </message>
    <message>
        <source>未发送：%1</source>
        <translation>未发送：%1</translation>
    </message>
    <message>
        <source>没有已连接的DTU，未发送。</source>
        <translation>没有已连接的DTU，未发送。</translation>
    </message>
    <message>
        <source>日志文件 (*.log *.txt);;所有文件 (*)</source>
        <translation>日志文件 (*.log *.txt);;所有文件 (*)</translation>
    </message>
    <message>
        <source>停止记录</source>
        <translation>停止记录</translation>
    </message>
    <message>
        <source>记录到 %1</source>
        <translation>记录到 %1</translation>
    </message>
    <message>
        <source>数字地址，不查域名；0.0.0.0 表示本机所有地址</source>
        <translation>数字地址，不查域名；0.0.0.0 表示本机所有地址</translation>
    </message>
    <message>
        <source>记录已停止：%1</source>
        <translation>记录已停止：%1</translation>
    </message>
    <message>
        <source>%1
记录已停止，服务器照常运行。</source>
        <translation>%1
记录已停止，服务器照常运行。</translation>
    </message>
    <message>
        <source>批量测试已结束</source>
        <translation>批量测试已结束</translation>
    </message>
    <message>
        <source>批量测试的服务器正在监听端口 %1</source>
        <translation>批量测试的服务器正在监听端口 %1</translation>
    </message>
</context>
<context>
    <name>UpgradePage</name>
    <message>
        <source>打开文件的路径不正确,或不能为空！</source>
        <translation>打开文件的路径不正确,或不能为空！</translation>
    </message>
    <message>
        <source>停止下载程序成功！</source>
        <translation>停止下载程序成功！</translation>
    </message>
    <message>
        <source>校验错误,升级失败!</source>
        <translation>校验错误,升级失败!</translation>
    </message>
    <message>
        <source>升级成功，等待从新启动</source>
        <translation>升级成功，等待从新启动</translation>
    </message>
    <message>
        <source>未发送任何数据。</source>
        <translation>未发送任何数据。</translation>
    </message>
    <message>
        <source>KV-330型在线升级系统</source>
        <translation>KV-330型在线升级系统</translation>
    </message>
    <message>
        <source>打开文件</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>升级文件路径</source>
        <translation>升级文件路径</translation>
    </message>
    <message>
        <source>由“打开”填入，也可以直接输入</source>
        <translation>由“打开”填入，也可以直接输入</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>选择升级文件</source>
        <translation>选择升级文件</translation>
    </message>
    <message>
        <source>文件信息</source>
        <translation>文件信息</translation>
    </message>
    <message>
        <source>文件名称</source>
        <translation>文件名称</translation>
    </message>
    <message>
        <source>文件大小</source>
        <translation>文件大小</translation>
    </message>
    <message>
        <source>文件名称:</source>
        <translation>文件名称:</translation>
    </message>
    <message>
        <source>文件大小:</source>
        <translation>文件大小:</translation>
    </message>
    <message>
        <source>烧录控制</source>
        <translation>烧录控制</translation>
    </message>
    <message>
        <source>APP升级</source>
        <translation>APP升级</translation>
    </message>
    <message>
        <source>把文件作为 APP 固件发送给 DTU</source>
        <translation>把文件作为 APP 固件发送给 DTU</translation>
    </message>
    <message>
        <source>IAP升级</source>
        <translation>IAP升级</translation>
    </message>
    <message>
        <source>把文件作为 IAP 固件发送给 DTU</source>
        <translation>把文件作为 IAP 固件发送给 DTU</translation>
    </message>
    <message>
        <source>STOP升级</source>
        <translation>STOP升级</translation>
    </message>
    <message>
        <source>停止正在进行的升级</source>
        <translation>停止正在进行的升级</translation>
    </message>
    <message>
        <source>烧写进度</source>
        <translation>烧写进度</translation>
    </message>
    <message>
        <source>烧录进度:</source>
        <translation>烧录进度:</translation>
    </message>
    <message>
        <source>已发送的块数</source>
        <translation>已发送的块数</translation>
    </message>
    <message>
        <source>%v/%m 块</source>
        <translation>%v/%m 块</translation>
    </message>
    <message>
        <source>已发送的块数和字节数、用时和剩余时间</source>
        <translation>已发送的块数和字节数、用时和剩余时间</translation>
    </message>
    <message>
        <source>升级结果</source>
        <translation>升级结果</translation>
    </message>
    <message>
        <source>升级已停止。</source>
        <translation>升级已停止。</translation>
    </message>
    <message>
        <source>窗口已关闭，升级已停止。</source>
        <translation>窗口已关闭，升级已停止。</translation>
    </message>
    <message>
        <source>串口没有打开，不能升级。请先在“系统设置”中打开串口。</source>
        <translation>串口没有打开，不能升级。请先在“系统设置”中打开串口。</translation>
    </message>
    <message>
        <source>找不到升级文件 %1。</source>
        <translation>找不到升级文件 %1。</translation>
    </message>
    <message>
        <source>%1 是文件夹，不是升级文件。</source>
        <translation>%1 是文件夹，不是升级文件。</translation>
    </message>
    <message>
        <source>%1 不是普通文件，不能作为升级文件。</source>
        <translation>%1 不是普通文件，不能作为升级文件。</translation>
    </message>
    <message>
        <source>无法打开升级文件 %1：%2。</source>
        <translation>无法打开升级文件 %1：%2。</translation>
    </message>
    <message>
        <source>读取升级文件 %1 失败：%2。</source>
        <translation>读取升级文件 %1 失败：%2。</translation>
    </message>
    <message>
        <source>升级文件 %1 大于 %2 MB，不是 DTU 的固件。</source>
        <translation>升级文件 %1 大于 %2 MB，不是 DTU 的固件。</translation>
    </message>
    <message>
        <source>升级文件 %1 是空的。</source>
        <translation>升级文件 %1 是空的。</translation>
    </message>
    <message>
        <source>%1在 %2 秒内没有应答，升级已停止。
请检查 DTU 和连线后重新升级。</source>
        <translation>%1在 %2 秒内没有应答，升级已停止。
请检查 DTU 和连线后重新升级。</translation>
    </message>
    <message>
        <source>读取升级文件失败，升级已停止。</source>
        <translation>读取升级文件失败，升级已停止。</translation>
    </message>
    <message>
        <source>串口已断开</source>
        <translation>串口已断开</translation>
    </message>
    <message>
        <source>%1，升级已中断：已发送 %2/%3 块。
请检查连接，在“系统设置”中重新打开串口后重新升级。</source>
        <translation>%1，升级已中断：已发送 %2/%3 块。
请检查连接，在“系统设置”中重新打开串口后重新升级。</translation>
    </message>
    <message>
        <source>结束帧（全部 %1 块已发送）</source>
        <translation>结束帧（全部 %1 块已发送）</translation>
    </message>
    <message>
        <source>第 %1 块（共 %2 块）</source>
        <translation>第 %1 块（共 %2 块）</translation>
    </message>
    <message>
        <source>共 %1 块，%2 字节</source>
        <translation>共 %1 块，%2 字节</translation>
    </message>
    <message>
        <source>已发送 %1/%2 块，%3/%4 字节，%5 %6</source>
        <translation>已发送 %1/%2 块，%3/%4 字节，%5 %6</translation>
    </message>
    <message>
        <source>已用</source>
        <translation>已用</translation>
    </message>
    <message>
        <source>用时</source>
        <translation>用时</translation>
    </message>
    <message>
        <source>，剩余约 %1</source>
        <translation>，剩余约 %1</translation>
    </message>
    <message>
        <source>正在升级。关闭本页将停止升级，DTU 中的固件会不完整。
确定要停止升级并关闭吗？</source>
        <translation>正在升级。关闭本页将停止升级，DTU 中的固件会不完整。
确定要停止升级并关闭吗？</translation>
    </message>
    <message>
        <source>不能记录，没有升级：%1</source>
        <translation>不能记录，没有升级：%1</translation>
    </message>
</context>
<context>
    <name>WriteReportDialog</name>
    <message>
        <source>参数</source>
        <translation>参数</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>写入</translation>
    </message>
    <message>
        <source>读回</source>
        <translation>读回</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>写入与读回</source>
        <translation>写入与读回</translation>
    </message>
    <message>
        <source>每项参数写入的值、读回的值和是否一致，不一致的在前</source>
        <translation>每项参数写入的值、读回的值和是否一致，不一致的在前</translation>
    </message>
    <message>
        <source>无应答</source>
        <translation>无应答</translation>
    </message>
</context>
<context>
    <name>YieldView</name>
    <message>
        <source>产量</source>
        <translation>产量</translation>
    </message>
    <message>
        <source>所示记录中的测试：单位数、通过、失败和合格率，每天或每小时通过和失败的测试，失败最多的测量项</source>
        <translation>所示记录中的测试：单位数、通过、失败和合格率，每天或每小时通过和失败的测试，失败最多的测量项</translation>
    </message>
    <message>
        <source>每个单位按它最近一次测试计：通过或失败</source>
        <translation>每个单位按它最近一次测试计：通过或失败</translation>
    </message>
    <message>
        <source>失败最多的测量项</source>
        <translation>失败最多的测量项</translation>
    </message>
    <message>
        <source>表中记录里的测试，每个单位按它最近一次测试计</source>
        <translation>表中记录里的测试，每个单位按它最近一次测试计</translation>
    </message>
    <message>
        <source>符合“%1”的测试，每个单位按它最近一次测试计</source>
        <translation>符合“%1”的测试，每个单位按它最近一次测试计</translation>
    </message>
    <message>
        <source>没有通过或失败的测试</source>
        <translation>没有通过或失败的测试</translation>
    </message>
    <message>
        <source>单位 %1，通过 %2，失败 %3，合格率 %4%</source>
        <translation>单位 %1，通过 %2，失败 %3，合格率 %4%</translation>
    </message>
    <message>
        <source>%1 每小时通过和失败的测试</source>
        <translation>%1 每小时通过和失败的测试</translation>
    </message>
    <message>
        <source>每天通过和失败的测试</source>
        <translation>每天通过和失败的测试</translation>
    </message>
</context>
<context>
    <name>dtu</name>
    <message>
        <source>%04d-%02d-%02d %02d:%02d:%02d weekday %d</source>
        <translation>%04d-%02d-%02d %02d:%02d:%02d 星期%d</translation>
    </message>
</context>
<context>
    <name>dtu::msg</name>
    <message>
        <source>The phone list is full!</source>
        <translation>电话列表超出上限！</translation>
    </message>
    <message>
        <source>The phone number to add must not be empty!</source>
        <translation>加入的电话号码不能为空！</translation>
    </message>
    <message>
        <source>The phone number is not in the right format!</source>
        <translation>输入电话号码格式不正确！</translation>
    </message>
    <message>
        <source>The phone number has more than 11 digits, please check it!</source>
        <translation>输入电话号码超过11位，请检查文本格式！</translation>
    </message>
    <message>
        <source>The phone number is wrong, please check its format!</source>
        <translation>电话录入错误，请检查格式是否正确！</translation>
    </message>
    <message>
        <source>The MAC address list is full!</source>
        <translation>MAC地址列表超出上限！</translation>
    </message>
    <message>
        <source>The MAC address must not be empty!</source>
        <translation>MAC地址录入不能为空！</translation>
    </message>
    <message>
        <source>The MAC address must be 6 bytes, please check it!</source>
        <translation>MAC地址必需为6字节地址，请检查文本格式！</translation>
    </message>
    <message>
        <source>The MAC address has more than 6 bytes, please check it!</source>
        <translation>MAC地址输入超过6个字节，请检查文本格式！</translation>
    </message>
    <message>
        <source>The MAC address is wrong, please check its format!</source>
        <translation>MAC地址录入错误，请检查文本格式是否正确！</translation>
    </message>
    <message>
        <source>【确定】按钮清空MCU数据，【取消】按钮清空列表数据！</source>
        <translation>【确定】按钮清空MCU数据，【取消】按钮清空列表数据！</translation>
    </message>
    <message>
        <source>Cannot set the domain name: it must not be empty!</source>
        <translation>设置域名出错，文本不能为空！</translation>
    </message>
    <message>
        <source>Cannot set the domain name: it is too long!</source>
        <translation>设置域名出错，文本超出上限！</translation>
    </message>
    <message>
        <source>Cannot set the remote port: the port must not be empty!</source>
        <translation>设置远程端口错误，端口号不能为空！</translation>
    </message>
    <message>
        <source>Cannot set the remote port: the text holds characters that are not digits!</source>
        <translation>设置远程端口错误，文本出现未能识别字符！</translation>
    </message>
    <message>
        <source>Cannot set the remote port: the port is out of range!</source>
        <translation>设置远程端口错误，端口号超出范围！</translation>
    </message>
    <message>
        <source>无线频率必须在 1 到 1023 MHz 之间（只发送整数部分），请检查后再写入！</source>
        <translation>无线频率必须在 1 到 1023 MHz 之间（只发送整数部分），请检查后再写入！</translation>
    </message>
    <message>
        <source>写入成功!</source>
        <translation>写入成功!</translation>
    </message>
    <message>
        <source>读取成功!</source>
        <translation>读取成功!</translation>
    </message>
    <message>
        <source>写入射频参数成功!</source>
        <translation>写入射频参数成功!</translation>
    </message>
    <message>
        <source>读取射频参数成功!</source>
        <translation>读取射频参数成功!</translation>
    </message>
    <message>
        <source>通信地址不能为空！</source>
        <translation>通信地址不能为空！</translation>
    </message>
    <message>
        <source>通信地址不能超过6个字节！</source>
        <translation>通信地址不能超过6个字节！</translation>
    </message>
    <message>
        <source>通信地址必须为6个字节（12位十六进制数字）！</source>
        <translation>通信地址必须为6个字节（12位十六进制数字）！</translation>
    </message>
    <message>
        <source>手机号码不足11位，请检查号码！</source>
        <translation>手机号码不足11位，请检查号码！</translation>
    </message>
    <message>
        <source>发送数据过长，一帧最多255字节，请减少发送内容！</source>
        <translation>发送数据过长，一帧最多255字节，请减少发送内容！</translation>
    </message>
</context>
<context>
    <name>jobs::msg</name>
    <message>
        <source>%1 (dtuctl doctor -p %2 says why)</source>
        <translation>%1（dtuctl doctor -p %2 可查明原因）</translation>
    </message>
    <message>
        <source>the server closed the connection (network down, or the port busy with another user)</source>
        <translation>服务器关闭了连接（网络断开，或端口正被另一用户使用）</translation>
    </message>
    <message>
        <source>the port went away</source>
        <translation>端口断开</translation>
    </message>
    <message>
        <source>%1 while sending %2</source>
        <translation>发送“%2”时%1</translation>
    </message>
    <message>
        <source>the line did not take %1: %2</source>
        <translation>线路没有接受“%1”：%2</translation>
    </message>
    <message>
        <source>%1 while waiting for the answer to %2</source>
        <translation>等待“%2”的应答时%1</translation>
    </message>
    <message>
        <source>malformed answer to %1: %2</source>
        <translation>“%1”的应答格式错误：%2</translation>
    </message>
    <message>
        <source>no answer to %1 within %2 ms (sent %3)</source>
        <translation>“%1”在 %2 毫秒内无应答（已发送 %3）</translation>
    </message>
    <message>
        <source>%1: not an image file (%2)</source>
        <translation>%1 不能作为升级文件（%2）</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>不是普通文件</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>找不到文件</translation>
    </message>
    <message>
        <source>%1: larger than %2 MiB; no DTU image is that large</source>
        <translation>升级文件 %1 大于 %2 MiB，不是 DTU 的固件</translation>
    </message>
    <message>
        <source>%1: the image cannot be read: %2</source>
        <translation>读取升级文件 %1 失败：%2</translation>
    </message>
    <message>
        <source>%1: the image cannot be read</source>
        <translation>读取升级文件 %1 失败</translation>
    </message>
    <message>
        <source>%1: the image is empty; nothing to send</source>
        <translation>升级文件 %1 是空的，没有可发送的内容</translation>
    </message>
    <message>
        <source>image block</source>
        <translation>固件块</translation>
    </message>
    <message>
        <source>image block %1</source>
        <translation>固件块 %1</translation>
    </message>
    <message>
        <source>the end of the image</source>
        <translation>固件的结束帧</translation>
    </message>
    <message>
        <source>%1 after %2 block(s)</source>
        <translation>发送 %2 块后%1</translation>
    </message>
    <message>
        <source>%1 bytes in %2 s</source>
        <translation>%2 秒发送 %1 字节</translation>
    </message>
    <message>
        <source>the DTU accepted the image (ECK), %1</source>
        <translation>DTU 接受了固件（ECK），%1</translation>
    </message>
    <message>
        <source>upgraded, %1</source>
        <translation>升级完成，%1</translation>
    </message>
    <message>
        <source>the DTU rejected the image (DCK) after %1</source>
        <translation>DTU 拒绝了固件（DCK），此前 %1</translation>
    </message>
    <message>
        <source>no answer to %1 within %2 ms</source>
        <translation>“%1”在 %2 毫秒内无应答</translation>
    </message>
    <message>
        <source>the image could not be read</source>
        <translation>无法读取固件</translation>
    </message>
    <message>
        <source>the transfer ended unexpectedly</source>
        <translation>传输意外结束</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>stopped after %1/%2 blocks</source>
        <translation>发送 %1/%2 块后停止</translation>
    </message>
    <message>
        <source>%1: the window was closed</source>
        <translation>%1：窗口已关闭</translation>
    </message>
    <message>
        <source>%1: started again</source>
        <translation>%1：升级重新开始</translation>
    </message>
    <message>
        <source>the line failed after %1/%2 blocks</source>
        <translation>发送 %1/%2 块后线路出错</translation>
    </message>
    <message>
        <source>the DTU rejected the image (DCK)</source>
        <translation>DTU 拒绝了固件（DCK）</translation>
    </message>
    <message>
        <source>the line did not take a frame</source>
        <translation>线路没有接受数据帧</translation>
    </message>
    <message>
        <source>nothing was sent</source>
        <translation>没有发送任何内容</translation>
    </message>
    <message>
        <source>nothing was changed</source>
        <translation>没有做任何改动</translation>
    </message>
    <message>
        <source>stopped before it began</source>
        <translation>开始前已停止</translation>
    </message>
    <message>
        <source>the page was closed</source>
        <translation>页面已关闭</translation>
    </message>
    <message>
        <source>the port was closed</source>
        <translation>串口已关闭</translation>
    </message>
    <message>
        <source>its version could not be read after the upgrade</source>
        <translation>升级后未能读到版本</translation>
    </message>
    <message>
        <source>an own-ID range needs a records store</source>
        <translation>分配本机通讯ID范围需要记录存放处</translation>
    </message>
</context>
<context>
    <name>monitor</name>
    <message>
        <source> index </source>
        <translation> 序号 </translation>
    </message>
    <message>
        <source> baud</source>
        <translation> 波特</translation>
    </message>
    <message>
        <source>baud</source>
        <translation>波特率</translation>
    </message>
    <message>
        <source>parity </source>
        <translation>校验 </translation>
    </message>
    <message>
        <source>parity</source>
        <translation>校验</translation>
    </message>
    <message>
        <source>interface</source>
        <translation>接口</translation>
    </message>
    <message>
        <source>SMS hex</source>
        <translation>短信HEX</translation>
    </message>
    <message>
        <source>protocol mode</source>
        <translation>协议模式</translation>
    </message>
    <message>
        <source>transparent mode, no sub-mode</source>
        <translation>透传模式，未选方式</translation>
    </message>
    <message>
        <source>transparent mode, sub-mode %u</source>
        <translation>透传模式，方式 %u</translation>
    </message>
    <message>
        <source>%zu %s</source>
        <translation>%zu %s</translation>
    </message>
    <message>
        <source>number</source>
        <translation>个号码</translation>
    </message>
    <message>
        <source>numbers</source>
        <translation>个号码</translation>
    </message>
    <message>
        <source>%u-%02u-%02u %02u:%02u:%02u, weekday %u</source>
        <translation>%u-%02u-%02u %02u:%02u:%02u，星期%u</translation>
    </message>
    <message>
        <source>%s MHz, sleep index %d, breathing index %d, address %s, power index %d</source>
        <translation>%s MHz，休眠序号 %d，呼吸序号 %d，地址 %s，功率序号 %d</translation>
    </message>
    <message>
        <source>custom</source>
        <translation>自定义</translation>
    </message>
    <message>
        <source>not custom</source>
        <translation>非自定义</translation>
    </message>
    <message>
        <source>heartbeat </source>
        <translation>心跳 </translation>
    </message>
    <message>
        <source>registration </source>
        <translation>注册 </translation>
    </message>
    <message>
        <source>%zu-byte payload, %zu zero bytes expected</source>
        <translation>数据 %zu 字节，应为 %zu 个零字节</translation>
    </message>
    <message>
        <source>port %u</source>
        <translation>端口 %u</translation>
    </message>
    <message>
        <source>user </source>
        <translation>用户 </translation>
    </message>
    <message>
        <source>password </source>
        <translation>密码 </translation>
    </message>
    <message>
        <source>, custom</source>
        <translation>，自定义</translation>
    </message>
    <message>
        <source>, not custom</source>
        <translation>，非自定义</translation>
    </message>
    <message>
        <source>address by IP</source>
        <translation>按IP地址</translation>
    </message>
    <message>
        <source>address by domain</source>
        <translation>按域名</translation>
    </message>
    <message>
        <source>IP and domain</source>
        <translation>IP地址和域名</translation>
    </message>
    <message>
        <source>%u.%u.%u.%u port %u</source>
        <translation>%u.%u.%u.%u 端口 %u</translation>
    </message>
    <message>
        <source>domain </source>
        <translation>域名 </translation>
    </message>
    <message>
        <source>acknowledged</source>
        <translation>已确认</translation>
    </message>
    <message>
        <source>%zu payload bytes</source>
        <translation>数据 %zu 字节</translation>
    </message>
    <message>
        <source>short answer, %zu payload bytes</source>
        <translation>应答过短，数据 %zu 字节</translation>
    </message>
    <message>
        <source>block accepted</source>
        <translation>数据块已接收</translation>
    </message>
    <message>
        <source>check failed</source>
        <translation>校验失败</translation>
    </message>
    <message>
        <source>image accepted</source>
        <translation>固件已接收</translation>
    </message>
    <message>
        <source>letters not understood</source>
        <translation>无法识别的应答字母</translation>
    </message>
    <message>
        <source>length byte says %zu payload bytes, frame has %zu bytes</source>
        <translation>长度字节为 %zu 字节数据，帧共 %zu 字节</translation>
    </message>
    <message>
        <source>bad checksum: sum %02X, frame says %02X</source>
        <translation>校验和错误：计算为 %02X，帧中为 %02X</translation>
    </message>
    <message>
        <source>bad terminator %02X</source>
        <translation>帧尾错误 %02X</translation>
    </message>
    <message>
        <source>APP image block</source>
        <translation>APP固件块</translation>
    </message>
    <message>
        <source>IAP image block</source>
        <translation>IAP固件块</translation>
    </message>
    <message>
        <source>command %02X in an IAP frame</source>
        <translation>IAP帧中的命令 %02X</translation>
    </message>
    <message>
        <source>too short for a block frame</source>
        <translation>不足一个数据块帧</translation>
    </message>
    <message>
        <source>APP end of image</source>
        <translation>APP固件结束帧</translation>
    </message>
    <message>
        <source>image size %u bytes, CRC-32 %08X</source>
        <translation>固件 %u 字节，CRC-32 %08X</translation>
    </message>
    <message>
        <source>block %u, %zu bytes</source>
        <translation>第 %u 块，%zu 字节</translation>
    </message>
    <message>
        <source>length says %zu data bytes, frame has %zu bytes</source>
        <translation>长度为 %zu 字节数据，帧共 %zu 字节</translation>
    </message>
    <message>
        <source>data frame</source>
        <translation>数据帧</translation>
    </message>
    <message>
        <source>no 7F terminator</source>
        <translation>缺少帧尾 7F</translation>
    </message>
    <message>
        <source>%zu bytes</source>
        <translation>%zu 字节</translation>
    </message>
    <message>
        <source>SMS text, group send</source>
        <translation>短信文本，群发</translation>
    </message>
    <message>
        <source>SMS text to one number</source>
        <translation>短信文本，发往一个号码</translation>
    </message>
    <message>
        <source>SMS hex, group send</source>
        <translation>短信HEX，群发</translation>
    </message>
    <message>
        <source>SMS hex to one number</source>
        <translation>短信HEX，发往一个号码</translation>
    </message>
    <message>
        <source>TCP one-to-many</source>
        <translation>TCP 1对多</translation>
    </message>
    <message>
        <source>TCP one-to-one</source>
        <translation>TCP 1对1</translation>
    </message>
    <message>
        <source>unknown type %02X</source>
        <translation>未知类型 %02X</translation>
    </message>
    <message>
        <source> (returned)</source>
        <translation>（回送）</translation>
    </message>
    <message>
        <source>recipient cut short: %zu of %zu bytes</source>
        <translation>接收方不完整：%zu/%zu 字节</translation>
    </message>
    <message>
        <source>to </source>
        <translation>发往 </translation>
    </message>
    <message>
        <source>%zu data bytes</source>
        <translation>数据 %zu 字节</translation>
    </message>
    <message>
        <source>%zu bytes, more than the DTU holds</source>
        <translation>%zu 字节，超出 DTU 的容量</translation>
    </message>
    <message>
        <source>sent</source>
        <translation>发送</translation>
    </message>
    <message>
        <source>received</source>
        <translation>接收</translation>
    </message>
    <message>
        <source>write phone list</source>
        <translation>写电话列表</translation>
    </message>
    <message>
        <source>read phone list</source>
        <translation>读电话列表</translation>
    </message>
    <message>
        <source>write communication-ID list</source>
        <translation>写通讯ID列表</translation>
    </message>
    <message>
        <source>read communication-ID list</source>
        <translation>读通讯ID列表</translation>
    </message>
    <message>
        <source>set server domain name</source>
        <translation>设置服务器域名</translation>
    </message>
    <message>
        <source>set server IP address</source>
        <translation>设置服务器IP地址</translation>
    </message>
    <message>
        <source>set remote port</source>
        <translation>设置远程端口</translation>
    </message>
    <message>
        <source>set working mode</source>
        <translation>设置工作模式</translation>
    </message>
    <message>
        <source>read network parameters</source>
        <translation>读网络参数</translation>
    </message>
    <message>
        <source>clear phone list</source>
        <translation>清空电话列表</translation>
    </message>
    <message>
        <source>clear communication-ID list</source>
        <translation>清空通讯ID列表</translation>
    </message>
    <message>
        <source>write serial settings</source>
        <translation>写串口参数</translation>
    </message>
    <message>
        <source>read serial settings</source>
        <translation>读串口参数</translation>
    </message>
    <message>
        <source>read own communication ID</source>
        <translation>读本机通讯ID</translation>
    </message>
    <message>
        <source>application image</source>
        <translation>应用程序固件</translation>
    </message>
    <message>
        <source>read version</source>
        <translation>读版本</translation>
    </message>
    <message>
        <source>restart the DTU</source>
        <translation>重启DTU</translation>
    </message>
    <message>
        <source>write wireless parameters</source>
        <translation>写无线参数</translation>
    </message>
    <message>
        <source>read wireless parameters</source>
        <translation>读无线参数</translation>
    </message>
    <message>
        <source>set APN, user name and password</source>
        <translation>设置APN、用户名和密码</translation>
    </message>
    <message>
        <source>write heartbeat and registration packets</source>
        <translation>写心跳包和注册包</translation>
    </message>
    <message>
        <source>read heartbeat and registration packets</source>
        <translation>读心跳包和注册包</translation>
    </message>
    <message>
        <source>set own communication ID</source>
        <translation>设置本机通讯ID</translation>
    </message>
    <message>
        <source>set the DTU clock</source>
        <translation>设置DTU时间</translation>
    </message>
    <message>
        <source>read the DTU clock</source>
        <translation>读DTU时间</translation>
    </message>
    <message>
        <source>read signal strength</source>
        <translation>读场强</translation>
    </message>
    <message>
        <source>command 0x%02X</source>
        <translation>命令 0x%02X</translation>
    </message>
    <message>
        <source>empty frame</source>
        <translation>空帧</translation>
    </message>
    <message>
        <source>no bytes</source>
        <translation>没有字节</translation>
    </message>
    <message>
        <source>data</source>
        <translation>数据</translation>
    </message>
    <message>
        <source>frame</source>
        <translation>帧</translation>
    </message>
    <message>
        <source>cut short</source>
        <translation>不完整</translation>
    </message>
    <message>
        <source>direction byte %02X, %s expected</source>
        <translation>方向字节为 %02X，应为 %s</translation>
    </message>
    <message>
        <source>cut short: %zu bytes</source>
        <translation>不完整：%zu 字节</translation>
    </message>
    <message>
        <source>%zu more bytes after the frame: </source>
        <translation>帧后另有 %zu 字节：</translation>
    </message>
    <message>
        <source>APP reply</source>
        <translation>APP应答</translation>
    </message>
    <message>
        <source>IAP reply</source>
        <translation>IAP应答</translation>
    </message>
    <message>
        <source> (no answer)</source>
        <translation>（无应答）</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>个ID</translation>
    </message>
    <message>
        <source>IDs</source>
        <translation>个ID</translation>
    </message>
    <message>
        <source>SMS</source>
        <translation>短信</translation>
    </message>
    <message>
        <source>, </source>
        <translation>、</translation>
    </message>
    <message>
        <source>protocol mode (%s)</source>
        <translation>协议模式（%s）</translation>
    </message>
</context>
<context>
    <name>monitor clauses</name>
    <message>
        <source>, </source>
        <translation>，</translation>
    </message>
</context>
<context>
    <name>pages</name>
    <message>
        <source>%1: character %2, “%3”, is not a hex digit; only 0-9, A-F and spaces can be typed!</source>
        <translation>%1第 %2 个字符“%3”不是十六进制数字，只能输入 0-9、A-F和空格！</translation>
    </message>
    <message>
        <source>%1: character %2, “%3”, is not a hex digit; only 0-9 and A-F can be typed!</source>
        <translation>%1第 %2 个字符“%3”不是十六进制数字，只能输入 0-9、A-F！</translation>
    </message>
    <message>
        <source>The data to send</source>
        <translation>发送数据</translation>
    </message>
    <message>
        <source>The communication address</source>
        <translation>通信地址</translation>
    </message>
    <message>
        <source>The communication ID</source>
        <translation>通讯ID</translation>
    </message>
</context>
<context>
    <name>pages::SmsPage</name>
    <message>
        <source>短信接收</source>
        <translation>短信接收</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>短信发送</source>
        <translation>短信发送</translation>
    </message>
    <message>
        <source>协议</source>
        <translation>协议</translation>
    </message>
    <message>
        <source>透传</source>
        <translation>透传</translation>
    </message>
    <message>
        <source>群发</source>
        <translation>群发</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>发送</translation>
    </message>
    <message>
        <source>手机</source>
        <translation>手机</translation>
    </message>
    <message>
        <source>短信模式</source>
        <translation>短信模式</translation>
    </message>
    <message>
        <source>传输</source>
        <translation>传输</translation>
    </message>
</context>
<context>
    <name>plan</name>
    <message>
        <source>%1 = &quot;%2&quot; is no time from 1ms to 1h (e.g. &quot;60s&quot;, &quot;500ms&quot;)</source>
        <translation>%1 = &quot;%2&quot; 不是 1ms 到 1h 之间的时间（例如 &quot;60s&quot;、&quot;500ms&quot;）</translation>
    </message>
    <message>
        <source>%1 = &quot;%2&quot; must be 12 hex digits</source>
        <translation>%1 = &quot;%2&quot; 必须是 12 位十六进制数字</translation>
    </message>
    <message>
        <source>signal.min %1 is above signal.max %2</source>
        <translation>signal.min %1 大于 signal.max %2</translation>
    </message>
    <message>
        <source>server.listen = &quot;%1&quot; is no IPv4 address and port (e.g. &quot;0.0.0.0:5020&quot;)</source>
        <translation>server.listen = &quot;%1&quot; 不是 IPv4 地址和端口（例如 &quot;0.0.0.0:5020&quot;）</translation>
    </message>
    <message>
        <source>[server] needs listen, e.g. listen = &quot;0.0.0.0:5020&quot;</source>
        <translation>[server] 需要 listen，例如 listen = &quot;0.0.0.0:5020&quot;</translation>
    </message>
    <message>
        <source>[server] listens on every address: give address, the one the DTU is to dial</source>
        <translation>[server] 监听所有地址：请用 address 给出 DTU 要连接的地址</translation>
    </message>
    <message>
        <source>[own_id] needs first and last, 12 hex digits each</source>
        <translation>[own_id] 需要 first 和 last，各为 12 位十六进制数字</translation>
    </message>
    <message>
        <source>own_id.last %1 comes before own_id.first %2</source>
        <translation>own_id.last %1 小于 own_id.first %2</translation>
    </message>
    <message>
        <source>the plan needs [server]: where this station listens for the units</source>
        <translation>测试方案需要 [server]：本工作站在哪里等待各 DTU 连接</translation>
    </message>
    <message>
        <source>final.image needs version, the glob of the version the image gives: units whose version matches it are not upgraded again</source>
        <translation>final.image 需要 version，即固件给出的版本的通配符：版本相符的 DTU 不再升级</translation>
    </message>
</context>
<context>
    <name>production::msg</name>
    <message>
        <source>version &quot;%1&quot; does not match &quot;%2&quot;</source>
        <translation>版本“%1”不符合“%2”</translation>
    </message>
    <message>
        <source>signal unknown (&quot;%1&quot;)</source>
        <translation>信号未知（“%1”）</translation>
    </message>
    <message>
        <source>signal %1 &lt; %2</source>
        <translation>信号 %1 &lt; %2</translation>
    </message>
    <message>
        <source>signal %1 &gt; %2</source>
        <translation>信号 %1 &gt; %2</translation>
    </message>
    <message>
        <source>no registration within %1</source>
        <translation>%1 内没有注册</translation>
    </message>
    <message>
        <source>no heartbeat within %1</source>
        <translation>%1 内没有心跳</translation>
    </message>
    <message>
        <source>%1: %2 of %3 bytes arrived within %4</source>
        <translation>%1：%4 内只收到 %3 字节中的 %2 字节</translation>
    </message>
    <message>
        <source>%1: %2 of %3 bytes differ</source>
        <translation>%1：%3 字节中有 %2 字节不同</translation>
    </message>
    <message>
        <source>%1: %2 bytes arrived, %3 sent</source>
        <translation>%1：发送 %3 字节，收到 %2 字节</translation>
    </message>
    <message>
        <source>echo took %1 ms &gt; %2</source>
        <translation>数据往返用时 %1 毫秒 &gt; %2</translation>
    </message>
    <message>
        <source>%1: read back different: %2</source>
        <translation>%1：读回不一致：%2</translation>
    </message>
    <message>
        <source>no version read after the upgrade</source>
        <translation>升级后没有读到版本</translation>
    </message>
    <message>
        <source>%1: own_id.id = &quot;%2&quot; would give every unit tested the same own ID; give units their own with [own_id] in the plan</source>
        <translation>%1：own_id.id = &quot;%2&quot; 会使每台受测 DTU 的本机ID都相同；请在测试方案中用 [own_id] 给各自的本机ID</translation>
    </message>
</context>
<context>
    <name>profile</name>
    <message>
        <source>the DTU runs at %1 MHz, which cannot be written back in whole MHz: give rf.frequency_mhz</source>
        <translation>DTU 的频率为 %1 MHz，不能按整数 MHz 写回：请给出 rf.frequency_mhz</translation>
    </message>
    <message>
        <source>(not read)</source>
        <translation>（未读到）</translation>
    </message>
    <message>
        <source>(not shown)</source>
        <translation>（不显示）</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>一致</translation>
    </message>
    <message>
        <source>DIFFERS</source>
        <translation>不一致</translation>
    </message>
    <message>
        <source>written, cannot be read back</source>
        <translation>已写入，无法读回</translation>
    </message>
    <message>
        <source>unknown key &apos;%1&apos;</source>
        <translation>未知的键“%1”</translation>
    </message>
    <message>
        <source>unknown key &apos;%1&apos; in [%2]</source>
        <translation>[%2] 中未知的键“%1”</translation>
    </message>
    <message>
        <source>%1 must be a string</source>
        <translation>%1 必须是字符串</translation>
    </message>
    <message>
        <source>%1 must be true or false</source>
        <translation>%1 必须是 true 或 false</translation>
    </message>
    <message>
        <source>%1 must be a whole number</source>
        <translation>%1 必须是整数</translation>
    </message>
    <message>
        <source>%1 = %2 is out of range (%3 to %4)</source>
        <translation>%1 = %2 超出范围（%3 到 %4）</translation>
    </message>
    <message>
        <source>%1 = &quot;%2&quot; is none of %3</source>
        <translation>%1 = &quot;%2&quot; 不是 %3 之一</translation>
    </message>
    <message>
        <source>%1 must be a list of strings</source>
        <translation>%1 必须是字符串列表</translation>
    </message>
    <message>
        <source>[%1] must be a table</source>
        <translation>[%1] 必须是表</translation>
    </message>
    <message>
        <source>%1 must be pairs of hex digits when hex = true</source>
        <translation>hex = true 时 %1 必须是成对的十六进制数字</translation>
    </message>
    <message>
        <source>%1 holds %2 bytes; at most %3 fit</source>
        <translation>%1 共 %2 字节，最多 %3 字节</translation>
    </message>
    <message>
        <source>%1 is %2 bytes long; at most %3 fit</source>
        <translation>%1 长 %2 字节，最多 %3 字节</translation>
    </message>
    <message>
        <source>own_id.id = &quot;%1&quot; must be 12 hex digits</source>
        <translation>own_id.id = &quot;%1&quot; 必须是 12 位十六进制数字</translation>
    </message>
    <message>
        <source>[server] takes ip or domain, not both</source>
        <translation>[server] 只能给出 ip 或 domain 之一</translation>
    </message>
    <message>
        <source>server.ip = &quot;%1&quot; is no IPv4 address (four numbers 0 to 255)</source>
        <translation>server.ip = &quot;%1&quot; 不是 IPv4 地址（四个 0 到 255 的数）</translation>
    </message>
    <message>
        <source>[mode] needs transfer = &quot;protocol&quot; or &quot;transparent&quot;</source>
        <translation>[mode] 需要 transfer = &quot;protocol&quot; 或 &quot;transparent&quot;</translation>
    </message>
    <message>
        <source>sub_mode belongs to transparent transfer; protocol transfer takes options</source>
        <translation>sub_mode 属于透明传输；协议传输用 options</translation>
    </message>
    <message>
        <source>mode.options: &quot;%1&quot; is none of %2</source>
        <translation>mode.options：&quot;%1&quot; 不是 %2 之一</translation>
    </message>
    <message>
        <source>options belong to protocol transfer; transparent transfer takes sub_mode</source>
        <translation>options 属于协议传输；透明传输用 sub_mode</translation>
    </message>
    <message>
        <source>transparent transfer needs sub_mode = %1</source>
        <translation>透明传输需要 sub_mode = %1</translation>
    </message>
    <message>
        <source>serial.baud must be one of 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200</source>
        <translation>serial.baud 必须是 1200、2400、4800、9600、19200、38400、57600、115200 之一</translation>
    </message>
    <message>
        <source>[apn] needs apn (user and password default to empty)</source>
        <translation>[apn] 需要 apn（user 和 password 默认为空）</translation>
    </message>
    <message>
        <source>%1 is longer than the 32 bytes the DTU keeps</source>
        <translation>%1 超过 DTU 能保存的 32 字节</translation>
    </message>
    <message>
        <source>rf.frequency_mhz must be a number</source>
        <translation>rf.frequency_mhz 必须是数字</translation>
    </message>
    <message>
        <source>rf.frequency_mhz = %1: the DTU is set in whole MHz (only the integer query would be sent)</source>
        <translation>rf.frequency_mhz = %1：DTU 按整数 MHz 设置（只会发送整数部分）</translation>
    </message>
    <message>
        <source>rf.frequency_mhz is out of range (1 to 1023)</source>
        <translation>rf.frequency_mhz 超出范围（1 到 1023）</translation>
    </message>
    <message>
        <source>clock.set takes &quot;now&quot; only (this computer&apos;s time)</source>
        <translation>clock.set 只能是 &quot;now&quot;（本机时间）</translation>
    </message>
    <message>
        <source>%1: is a folder, not a profile</source>
        <translation>%1：是文件夹，不是配置文件</translation>
    </message>
    <message>
        <source>%1: not a profile file (not a regular file, or over 1 MiB)</source>
        <translation>%1：不是配置文件（不是普通文件，或大于 1 MiB）</translation>
    </message>
    <message>
        <source>%1: cannot be read</source>
        <translation>%1：无法读取</translation>
    </message>
    <message>
        <source>%1: is a folder, not a test plan</source>
        <translation>%1：这是文件夹，不是测试方案</translation>
    </message>
    <message>
        <source>%1: not a test plan (not a regular file, or over 1 MiB)</source>
        <translation>%1：不是测试方案（不是普通文件，或超过 1 MiB）</translation>
    </message>
</context>
<context>
    <name>records::msg</name>
    <message>
        <source>records store %1: %2</source>
        <translation>记录存放处 %1：%2</translation>
    </message>
    <message>
        <source>records store: no path given</source>
        <translation>记录存放处：没有给出路径</translation>
    </message>
    <message>
        <source>no record %1</source>
        <translation>没有编号为 %1 的记录</translation>
    </message>
    <message>
        <source>not a result: %1</source>
        <translation>不是有效的结果：%1</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>内存不足</translation>
    </message>
    <message>
        <source>cannot make the folder %1 (%2)</source>
        <translation>无法创建文件夹 %1（%2）</translation>
    </message>
    <message>
        <source>is a folder, not a records file</source>
        <translation>这是文件夹，不是记录文件</translation>
    </message>
    <message>
        <source>cannot open the file (%1)</source>
        <translation>无法打开文件（%1）</translation>
    </message>
    <message>
        <source>cannot write in its folder (%1), where the -wal and -shm files go</source>
        <translation>无法写入所在的文件夹（%1），-wal 和 -shm 文件要放在那里</translation>
    </message>
    <message>
        <source>connection refused: nothing listens at %1</source>
        <translation>连接被拒绝：%1 上没有服务在监听</translation>
    </message>
    <message>
        <source>no answer from %1 within %2 s</source>
        <translation>%1 在 %2 秒内没有应答</translation>
    </message>
    <message>
        <source>authentication failed for user %1</source>
        <translation>用户 %1 认证失败</translation>
    </message>
    <message>
        <source>the server asks %1 for a password: give it in the URL, ~/.pgpass or PGPASSWORD</source>
        <translation>服务器要求用户 %1 提供密码：请写在 URL、~/.pgpass 或 PGPASSWORD 中</translation>
    </message>
    <message>
        <source>no database %1 on the server</source>
        <translation>服务器上没有数据库 %1</translation>
    </message>
    <message>
        <source>no user %1 on the server</source>
        <translation>服务器上没有用户 %1</translation>
    </message>
    <message>
        <source>no such host: %1</source>
        <translation>没有这个主机：%1</translation>
    </message>
    <message>
        <source>the connection to %1 was lost</source>
        <translation>与 %1 的连接已断开</translation>
    </message>
    <message>
        <source>%1: cannot be read (%2)</source>
        <translation>%1：无法读取（%2）</translation>
    </message>
    <message>
        <source>records outbox %1: %2</source>
        <translation>记录暂存文件 %1：%2</translation>
    </message>
    <message>
        <source>made by a newer version of the tool (its schema is version %1; this one knows up to %2)</source>
        <translation>由更新版本的工具创建（其结构版本为 %1，本程序只认识到 %2）</translation>
    </message>
    <message>
        <source>own ID range %1–%2 is used up</source>
        <translation>本机通讯ID范围 %1–%2 已用完</translation>
    </message>
    <message>
        <source>not an own ID range: %1–%2 (two IDs of up to 12 hex digits, the first not above the last)</source>
        <translation>不是本机通讯ID范围：%1–%2（应为两个最多 12 位的十六进制ID，前者不大于后者）</translation>
    </message>
</context>
<context>
    <name>serial</name>
    <message>
        <source>Device %1 not found.</source>
        <translation>找不到设备 %1。</translation>
    </message>
    <message>
        <source>No permission to open %1.</source>
        <translation>没有权限打开 %1。</translation>
    </message>
    <message>
        <source>No permission to open %1: add the current user to the dialout group (sudo usermod -aG dialout $USER), log in again, then open it.</source>
        <translation>没有权限打开 %1：请把当前用户加入 dialout 组（sudo usermod -aG dialout $USER），重新登录后再打开。</translation>
    </message>
    <message>
        <source>%1 is in use by another program.</source>
        <translation>%1 正被其他程序占用。</translation>
    </message>
    <message>
        <source>%1 is in use by another program; close that program first.</source>
        <translation>%1 正被其他程序占用，请先关闭该程序。</translation>
    </message>
    <message>
        <source>%1 is not a serial device.</source>
        <translation>%1 不是串口设备。</translation>
    </message>
    <message>
        <source>%1 does not support the chosen baud rate or parity.</source>
        <translation>%1 不支持所选的波特率或效验位。</translation>
    </message>
    <message>
        <source>Cannot open %1: %2</source>
        <translation>无法打开 %1：%2</translation>
    </message>
    <message>
        <source>Send failed: the port sent nothing for %1 s</source>
        <translation>发送失败：串口 %1 秒未能发出数据</translation>
    </message>
    <message>
        <source>Send failed: the port is disconnected</source>
        <translation>发送失败：串口已断开</translation>
    </message>
    <message>
        <source>Send failed: the port is closed</source>
        <translation>发送失败：串口已关闭</translation>
    </message>
    <message>
        <source>Send failed: %1</source>
        <translation>发送失败：%1</translation>
    </message>
    <message>
        <source>another program</source>
        <translation>其他程序</translation>
    </message>
    <message>
        <source>process %1</source>
        <translation>进程 %1</translation>
    </message>
    <message>
        <source> held by </source>
        <translation> 占用: </translation>
    </message>
    <message>
        <source>%1 is not a network port: write rfc2217://HOST:PORT or socket://HOST:PORT.</source>
        <translation>%1 不是可用的网络端口：请写作 rfc2217://主机:端口 或 socket://主机:端口。</translation>
    </message>
    <message>
        <source>%1 refused the connection: nothing listens on that port of the host.</source>
        <translation>%1 拒绝连接：该主机的这个端口上没有服务在运行。</translation>
    </message>
    <message>
        <source>Connecting to %1 timed out: the host did not answer. Check the address, the network and the firewall.</source>
        <translation>连接 %1 超时：主机没有应答，请检查地址、网络和防火墙。</translation>
    </message>
    <message>
        <source>The server of %1 closed the connection, saying: &quot;%2&quot;</source>
        <translation>%1 的服务器关闭了连接，它说：“%2”</translation>
    </message>
    <message>
        <source>The server of %1 closed the connection before the line was set: another user may have the port, or the server cannot open its device.</source>
        <translation>%1 的服务器在设置线路之前关闭了连接：该端口可能正被另一用户使用，或服务器打不开它的串口。</translation>
    </message>
    <message>
        <source>The server of %1 does not speak RFC 2217 (or binary mode), so the baud rate and parity cannot be set; use socket:// and set the line on the server.</source>
        <translation>%1 的服务器不支持 RFC 2217（或二进制传输），无法设置波特率和效验位；请改用 socket:// 并在服务器上设置串口。</translation>
    </message>
    <message>
        <source>The server of %1 does not accept the chosen baud rate or parity (it answered %2 baud).</source>
        <translation>%1 的服务器不接受所选的波特率或效验位（服务器答复 %2 波特）。</translation>
    </message>
    <message>
        <source>The server of %1 did not confirm the chosen baud rate and parity; the line is unknown, so the port was not opened.</source>
        <translation>%1 的服务器没有确认所选的波特率和效验位，线路设置未知，端口未打开。</translation>
    </message>
    <message>
        <source>Cannot connect to %1: there is no host named %2. Check the host name.</source>
        <translation>无法连接 %1：不存在名为 %2 的主机。请检查主机名。</translation>
    </message>
    <message>
        <source>Cannot connect to %1: the name %2 could not be looked up (%3). Check the network and the name server.</source>
        <translation>无法连接 %1：无法解析主机名 %2（%3）。请检查网络和域名服务器。</translation>
    </message>
    <message>
        <source>no name server could answer</source>
        <translation>没有域名服务器能够应答</translation>
    </message>
</context>
<context>
    <name>server</name>
    <message>
        <source>%1 holds an odd number of hex digits (%2); each byte takes two digits!</source>
        <translation>%1的十六进制数字个数为奇数（%2 个），每个字节需两位数字！</translation>
    </message>
    <message>
        <source>Character %1, “%2”, has no GBK code and cannot be sent as GBK!</source>
        <translation>第 %1 个字符“%2”在 GBK 中没有编码，不能按 GBK 发送！</translation>
    </message>
    <message>
        <source>no DTU is connected</source>
        <translation>没有已连接的 DTU</translation>
    </message>
    <message>
        <source>the DTU has disconnected</source>
        <translation>DTU 已断开连接</translation>
    </message>
    <message>
        <source>the DTU is not reading: %1 bytes still wait</source>
        <translation>DTU 没有读取：还有 %1 字节在等待</translation>
    </message>
</context>
<context>
    <name>terminal::ReceiveView</name>
    <message>
        <source>复制(&amp;C)</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <source>全选(&amp;A)</source>
        <translation>全选(&amp;A)</translation>
    </message>
</context>
<context>
    <name>ui::FastReplies</name>
    <message>
        <source>快速应答</source>
        <translation>快速应答</translation>
    </message>
    <message>
        <source>应答帧一完整（长度、校验和与帧尾都正确）即处理，不再等待 0.4 秒的线路静默。其他数据仍按静默判定结束。</source>
        <translation>应答帧一完整（长度、校验和与帧尾都正确）即处理，不再等待 0.4 秒的线路静默。其他数据仍按静默判定结束。</translation>
    </message>
</context>
<context>
    <name>ui::IpAddressEdit</name>
    <message>
        <source>错误</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>%1 is not a valid entry. Specify a value between 0 and 255.</source>
        <translation>%1 不是有效值。请指定一个介于 0 和 255 之间的值。</translation>
    </message>
</context>
<context>
    <name>ui::StreamReader</name>
    <message>
        <source>窗口来不及处理，%1 字节收到的数据已丢失。</source>
        <translation>窗口来不及处理，%1 字节收到的数据已丢失。</translation>
    </message>
</context>
<context>
    <name>ui::Words</name>
    <message>
        <source>No such file or directory</source>
        <translation>没有那个文件或目录</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>权限不够</translation>
    </message>
    <message>
        <source>Operation not permitted</source>
        <translation>不允许的操作</translation>
    </message>
    <message>
        <source>Read-only file system</source>
        <translation>只读文件系统</translation>
    </message>
    <message>
        <source>No space left on device</source>
        <translation>设备上没有空间</translation>
    </message>
    <message>
        <source>Disk quota exceeded</source>
        <translation>超出磁盘配额</translation>
    </message>
    <message>
        <source>Is a directory</source>
        <translation>是一个目录</translation>
    </message>
    <message>
        <source>Not a directory</source>
        <translation>不是目录</translation>
    </message>
    <message>
        <source>File name too long</source>
        <translation>文件名过长</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>打开的文件过多</translation>
    </message>
    <message>
        <source>Input/output error</source>
        <translation>输入/输出错误</translation>
    </message>
    <message>
        <source>Device or resource busy</source>
        <translation>设备或资源忙</translation>
    </message>
    <message>
        <source>No such device</source>
        <translation>没有那个设备</translation>
    </message>
    <message>
        <source>No such device or address</source>
        <translation>没有那个设备或地址</translation>
    </message>
    <message>
        <source>Broken pipe</source>
        <translation>断开的管道</translation>
    </message>
    <message>
        <source>database is locked</source>
        <translation>数据库被锁定</translation>
    </message>
    <message>
        <source>attempt to write a readonly database</source>
        <translation>试图写入只读的数据库</translation>
    </message>
    <message>
        <source>disk I/O error</source>
        <translation>磁盘读写错误</translation>
    </message>
    <message>
        <source>disk I/O error (%1)</source>
        <translation>磁盘读写错误（%1）</translation>
    </message>
    <message>
        <source>database disk image is malformed</source>
        <translation>数据库文件已损坏</translation>
    </message>
    <message>
        <source>file is not a database</source>
        <translation>文件不是数据库</translation>
    </message>
    <message>
        <source>unable to open database file</source>
        <translation>无法打开数据库文件</translation>
    </message>
    <message>
        <source>database or disk is full</source>
        <translation>数据库或磁盘已满</translation>
    </message>
    <message>
        <source>; </source>
        <translation>；</translation>
    </message>
    <message>
        <source>版本</source>
        <translation>版本</translation>
    </message>
    <message>
        <source>信号</source>
        <translation>信号</translation>
    </message>
    <message>
        <source>升级</source>
        <translation>升级</translation>
    </message>
    <message>
        <source>指向测试服务器</source>
        <translation>指向测试服务器</translation>
    </message>
    <message>
        <source>注册</source>
        <translation>注册</translation>
    </message>
    <message>
        <source>心跳</source>
        <translation>心跳</translation>
    </message>
    <message>
        <source>数据回环</source>
        <translation>数据回环</translation>
    </message>
    <message>
        <source>上行数据</source>
        <translation>上行数据</translation>
    </message>
    <message>
        <source>下行数据</source>
        <translation>下行数据</translation>
    </message>
    <message>
        <source>数据往返时间</source>
        <translation>数据往返时间</translation>
    </message>
    <message>
        <source>本机ID</source>
        <translation>本机ID</translation>
    </message>
    <message>
        <source>最终配置</source>
        <translation>最终配置</translation>
    </message>
</context>
</TS>
