<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AboutWidget</name>
    <message>
        <location filename="../../widgets/AboutWidget.cpp" line="+59"/>
        <location line="+1"/>
        <source>About...</source>
        <translation>关于...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Free to use and share. How to use it: &lt;a href=&quot;%1&quot;&gt;Help&lt;/a&gt;</source>
        <translation>免费使用与分享。使用方法见&lt;a href=&quot;%1&quot;&gt;帮助&lt;/a&gt;。</translation>
    </message>
</context>
<context>
    <name>AlreadyRunningNotice</name>
    <message>
        <source>Scribbloom is already running ...</source>
        <translation>Scribbloom 已经在运行……</translation>
    </message>
</context>
<context>
    <name>CanvasView</name>
    <message>
        <location filename="../../canvas/CanvasView.cpp" line="+252"/>
        <source>The image could not be saved as %1.
%2</source>
        <translation>无法将图片保存为 %1。
%2</translation>
    </message>
</context>
<context>
    <name>ColorPicker</name>
    <message>
        <location filename="../../canvas/ColorPicker.cpp" line="+41"/>
        <source>cureent :</source>
        <translation>当前：</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>web:</source>
        <translation>网页色：</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>rgb:</source>
        <translation>RGB：</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>postion:</source>
        <translation>位置：</translation>
    </message>
    <message>
        <location line="+74"/>
        <source>%1, %2, %3</source>
        <translation>%1, %2, %3</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>#%1%2%3</source>
        <translation>#%1%2%3</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>x:%1  y:%2</source>
        <translation>x:%1  y:%2</translation>
    </message>
</context>
<context>
    <name>GrapPasterWindow</name>
    <message>
        <location filename="../../app/GrapPasterWindow.cpp" line="+14"/>
        <source>GrapPasterWindow</source>
        <translation>贴图窗口</translation>
    </message>
</context>
<context>
    <name>HelpPage</name>
    <message>
        <location filename="../../settings/HelpPage.cpp" line="+12"/>
        <source>index.html</source>
        <comment>file name of the help page written in this translation&apos;s language</comment>
        <translation>index_zh.html</translation>
    </message>
</context>
<context>
    <name>ImageOutput</name>
    <message>
        <location filename="../../canvas/ImageOutput.cpp" line="+49"/>
        <source>There is no picture to save.</source>
        <translation>没有可保存的图片。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The file name must end in .jpg, .bmp or .png.</source>
        <translation>文件名必须以 .jpg、.bmp 或 .png 结尾。</translation>
    </message>
</context>
<context>
    <name>MainTitleBar</name>
    <message>
        <location filename="../../app/MainTitleBar.cpp" line="+26"/>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Open board...</source>
        <translation>打开画板...</translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="+56"/>
        <location line="+92"/>
        <source>Scribbloom</source>
        <translation>Scribbloom</translation>
    </message>
    <message>
        <location line="-54"/>
        <location line="+55"/>
        <source>Scribbloom
 :F1</source>
        <translation>Scribbloom
 :F1</translation>
    </message>
    <message>
        <location line="-45"/>
        <location line="+15"/>
        <location line="+31"/>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <location line="-33"/>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>About...</source>
        <translation>关于...</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Tips</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Whether it is necessary to exit the software?</source>
        <translation>确定要退出软件吗？</translation>
    </message>
    <message>
        <source>Reopen last board</source>
        <translation>重新打开上一个画板</translation>
    </message>
</context>
<context>
    <name>MsgBox</name>
    <message>
        <location filename="../../widgets/MsgBox.cpp" line="+31"/>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No</source>
        <translation>否</translation>
    </message>
</context>
<context>
    <name>PaintControlScene</name>
    <message>
        <source>The board %1 could not be opened.
%2</source>
        <translation>无法打开画板 %1。
%2</translation>
    </message>
    <message>
        <source>The board was made on a screen of %1 x %2 pixels: it is shown scaled to fit this one.</source>
        <translation>该画板来自 %1 x %2 像素的屏幕，已缩放以适合本屏幕。</translation>
    </message>
    <message>
        <source>Open board</source>
        <translation>打开画板</translation>
    </message>
    <message>
        <source>Scribbloom board (*.sbboard)</source>
        <translation>Scribbloom 画板 (*.sbboard)</translation>
    </message>
    <message>
        <source>highlighter</source>
        <translation>荧光笔</translation>
    </message>
    <message>
        <source>laser pointer</source>
        <translation>激光笔</translation>
    </message>
    <message>
        <location filename="../../panel/PaintControlScene.cpp" line="+44"/>
        <source>pen</source>
        <translation>画笔</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>line</source>
        <translation>直线</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>eraser</source>
        <translation>橡皮擦</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>rectangle</source>
        <translation>矩形</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>filled rectangle</source>
        <translation>实心矩形</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>ellipse</source>
        <translation>椭圆</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>solid ellipse</source>
        <translation>实心椭圆</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>arrow</source>
        <translation>箭头</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>marker pen</source>
        <translation>标记笔</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>insert text</source>
        <translation>插入文字</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>right mark</source>
        <translation>对号</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>wrong mark</source>
        <translation>错号</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>color picker</source>
        <translation>取色器</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>select area</source>
        <translation>选择区域</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>zoom in</source>
        <translation>放大</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>zoom out</source>
        <translation>缩小</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>undo</source>
        <translation>撤销</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>redo</source>
        <translation>重做</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>print</source>
        <translation>打印</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>clear board</source>
        <translation>清空画板</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>new painter board</source>
        <translation>新建画板</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>copy board</source>
        <translation>复制画板</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>save</source>
        <translation>保存</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>exit application</source>
        <translation>退出程序</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>size 1</source>
        <translation>大小 1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>size 2</source>
        <translation>大小 2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>size 3</source>
        <translation>大小 3</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>size 4</source>
        <translation>大小 4</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>size 5</source>
        <translation>大小 5</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>red color</source>
        <translation>红色</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>yellow color</source>
        <translation>黄色</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>green color</source>
        <translation>绿色</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>blue color</source>
        <translation>蓝色</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>black color</source>
        <translation>黑色</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>white color</source>
        <translation>白色</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>purple color</source>
        <translation>紫色</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>custom  color</source>
        <translation>自定义颜色</translation>
    </message>
    <message>
        <location line="+75"/>
        <source>menu</source>
        <translation>菜单</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>open/close</source>
        <translation>打开/关闭</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>custom size</source>
        <translation>自定义大小</translation>
    </message>
    <message>
        <location line="+61"/>
        <source>option</source>
        <translation>选项</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Tips</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Restore the board from %1?</source>
        <translation>要恢复 %1 的画板吗？</translation>
    </message>
</context>
<context>
    <name>PenSizeWindow</name>
    <message>
        <location filename="../../widgets/PenSizeWindow.cpp" line="+24"/>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>PenSizeWindow</source>
        <translation>画笔大小</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Pen size</source>
        <translation>画笔大小</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Pen size:</source>
        <translation>画笔大小：</translation>
    </message>
</context>
<context>
    <name>PrintGrapWindow</name>
    <message>
        <location filename="../../canvas/PrintGrapWindow.cpp" line="+43"/>
        <source>PrintGrapWindow</source>
        <translation>打印</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+10"/>
        <source>Print</source>
        <translation>打印</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>Print Setting</source>
        <translation>打印设置</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zommout</source>
        <translation>缩小</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoomin</source>
        <translation>放大</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <location filename="../../canvas/CanvasView.cpp" line="-9"/>
        <location line="+8"/>
        <source>Save Image</source>
        <translation>保存图片</translation>
    </message>
</context>
<context>
    <name>Screenview</name>
    <message>
        <source>   Highlighter</source>
        <translation>   荧光笔</translation>
    </message>
    <message>
        <location filename="../../canvas/Screenview.cpp" line="+283"/>
        <source>Tips</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Whether it is necessary to exit the software?</source>
        <translation>确定要退出软件吗？</translation>
    </message>
    <message>
        <location filename="../../canvas/ScreenviewMenus.cpp" line="+51"/>
        <source>    Exit(&amp;7)</source>
        <translation>    退出(&amp;7)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>   Pen size</source>
        <translation>   画笔大小</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pen size 1</source>
        <translation>画笔大小 1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pen size 2</source>
        <translation>画笔大小 2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pen size 3</source>
        <translation>画笔大小 3</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pen size 4</source>
        <translation>画笔大小 4</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>   Pen color</source>
        <translation>   画笔颜色</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Transparent red</source>
        <translation>半透明红色</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Transparent yellow</source>
        <translation>半透明黄色</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Transparent green</source>
        <translation>半透明绿色</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Transparent blue</source>
        <translation>半透明蓝色</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Red</source>
        <translation>红色</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Yellow</source>
        <translation>黄色</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Green</source>
        <translation>绿色</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Blue</source>
        <translation>蓝色</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Black</source>
        <translation>黑色</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>White</source>
        <translation>白色</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>   Pen</source>
        <translation>   画笔</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   Erase</source>
        <translation>   橡皮擦</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   Line</source>
        <translation>   直线</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   Line arrow</source>
        <translation>   箭头</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   Rectangle</source>
        <translation>   矩形</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   Solid rectangle</source>
        <translation>   实心矩形</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   Ellipse</source>
        <translation>   椭圆</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   Solid ellipse</source>
        <translation>   实心椭圆</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   Text</source>
        <translation>   文字</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   Tick</source>
        <translation>   对号</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   Cross</source>
        <translation>   错号</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   Mark pen</source>
        <translation>   标记笔</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   Select area</source>
        <translation>   选择区域</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>   Zoom in</source>
        <translation>   放大</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   Zoom out</source>
        <translation>   缩小</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   Original scale</source>
        <translation>   原始比例</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>   Undo</source>
        <translation>   撤销</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   Redo</source>
        <translation>   重做</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   Print</source>
        <translation>   打印</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   Copy to Clipboard</source>
        <translation>   复制到剪贴板</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>   Copy</source>
        <translation>   复制</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   Save image</source>
        <translation>   保存图片</translation>
    </message>
</context>
<context>
    <name>SettingWindow</name>
    <message>
        <source>pen</source>
        <translation>画笔</translation>
    </message>
    <message>
        <source>A stylus&apos;s pressure sets the width of its strokes</source>
        <translation>触控笔的压力决定笔画的粗细</translation>
    </message>
    <message>
        <location filename="../../widgets/SettingWindow.cpp" line="+32"/>
        <source>SettingWindow</source>
        <translation>设置</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>TextLabel</source>
        <translation>文本标签</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>PushButton</source>
        <translation>按钮</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>update</source>
        <translation>更新</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Option</source>
        <translation>选项</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>updater</source>
        <translation>更新</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Version:</source>
        <translation>版本：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Update now</source>
        <translation>立即更新</translation>
    </message>
    <message>
        <source>language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>语言：</translation>
    </message>
    <message>
        <source>shortcut</source>
        <translation>快捷键</translation>
    </message>
    <message>
        <source>Open and close the board:</source>
        <translation>打开和关闭画板：</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Press %1 anywhere to open or close the board.</source>
        <translation>在任何地方按 %1 即可打开或关闭画板。</translation>
    </message>
    <message>
        <source>The desktop was asked to bind %1; it may ask you first.</source>
        <translation>已请求桌面绑定 %1；桌面可能会先征求您的同意。</translation>
    </message>
    <message>
        <source>The desktop did not bind %1.</source>
        <translation>桌面没有绑定 %1。</translation>
    </message>
    <message>
        <source>Another program already uses %1: choose another key.</source>
        <translation>%1 已被其他程序占用：请另选一个按键。</translation>
    </message>
    <message>
        <source>%1 cannot be used as a shortcut here.</source>
        <translation>%1 在这里不能用作快捷键。</translation>
    </message>
    <message>
        <source>No key opens the board.</source>
        <translation>没有设置打开画板的按键。</translation>
    </message>
    <message>
        <source>You can also bind the command &quot;scribbloom --board&quot; to a key in the desktop&apos;s keyboard settings: GNOME Settings, Keyboard, Custom Shortcuts; KDE System Settings, Shortcuts; sway: a bindsym line in its configuration.</source>
        <translation>也可以在桌面的键盘设置中把命令“scribbloom --board”绑定到一个按键：GNOME 设置 → 键盘 → 自定义快捷键；KDE 系统设置 → 快捷键；sway：在其配置文件中添加 bindsym 行。</translation>
    </message>
    <message>
        <source>This desktop gives programs no keys of their own. Bind the command &quot;scribbloom --board&quot; to a key there: GNOME Settings, Keyboard, Custom Shortcuts; KDE System Settings, Shortcuts; sway: a bindsym line in its configuration.</source>
        <translation>此桌面不允许程序自行占用全局按键。请在桌面中把命令“scribbloom --board”绑定到一个按键：GNOME 设置 → 键盘 → 自定义快捷键；KDE 系统设置 → 快捷键；sway：在其配置文件中添加 bindsym 行。</translation>
    </message>
</context>
<context>
    <name>PortalShortcut</name>
    <message>
        <source>Open or close the board</source>
        <translation>打开或关闭画板</translation>
    </message>
</context>
</TS>
