<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_TW">
<context>
    <name>Vornik</name>
    <message>
        <source>招式：</source>
        <translation>Move: </translation>
    </message>
    <message>
        <source>沒有</source>
        <translation>None</translation>
    </message>
    <message>
        <source>自動連發中</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>按下連發</source>
        <translation>While held</translation>
    </message>
    <message>
        <source>對應：上、左</source>
        <translation>Presses: up, left</translation>
    </message>
    <message>
        <source>對應：下、左</source>
        <translation>Presses: down, left</translation>
    </message>
    <message>
        <source>對應：上、右</source>
        <translation>Presses: up, right</translation>
    </message>
    <message>
        <source>對應：下、右</source>
        <translation>Presses: down, right</translation>
    </message>
    <message>
        <source>對應功能</source>
        <translation>Binding</translation>
    </message>
    <message>
        <source>連發</source>
        <translation>Auto-fire</translation>
    </message>
    <message>
        <source>連發速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>不獨立設定</source>
        <translation>From both rows</translation>
    </message>
    <message>
        <source>沒有對應功能鍵</source>
        <translation>No keys bound</translation>
    </message>
    <message>
        <source>鍵盤：</source>
        <translation>Keys: </translation>
    </message>
    <message>
        <source>招式：沒有</source>
        <translation>Move: none</translation>
    </message>
    <message>
        <source>停止作用</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>啟動測試</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Binding</translation>
    </message>
    <message>
        <source>使用對應鍵</source>
        <translation>Bind keys</translation>
    </message>
    <message>
        <source>鍵盤</source>
        <translation>Keys</translation>
    </message>
    <message>
        <source>招式記錄</source>
        <translation>Moves</translation>
    </message>
    <message>
        <source>對應的招式記錄：</source>
        <translation>Move:</translation>
    </message>
    <message>
        <source>連續發射</source>
        <translation>Auto-fire</translation>
    </message>
    <message>
        <source>按下發射</source>
        <translation>While held</translation>
    </message>
    <message>
        <source>最快</source>
        <translation>Fast</translation>
    </message>
    <message>
        <source>最慢</source>
        <translation>Slow</translation>
    </message>
    <message>
        <source>只可以同時按下</source>
        <translation>At most </translation>
    </message>
    <message>
        <source>個鍵</source>
        <translation> keys can be pressed together</translation>
    </message>
    <message>
        <source>按鍵</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>對應招式</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>上次結束時有尚未儲存的設定（%1）。
要恢復這些設定嗎？</source>
        <translation>Vornik was ended with unsaved bindings or moves (%1).
Do you want them back?</translation>
    </message>
    <message>
        <source>上次結束時有尚未儲存的設定（%1）。
要開啟這些設定，還是開啟設定檔 &quot;%2&quot;？</source>
        <translation>Vornik was ended with unsaved bindings or moves (%1).
Do you want to open them, or the profile &quot;%2&quot;?</translation>
    </message>
    <message>
        <source>未儲存的設定</source>
        <translation>Unsaved settings</translation>
    </message>
    <message>
        <source>有 %1 個設定檔都設定給「%2」：
%3
Vornik 使用最近用過的 &quot;%4&quot;。</source>
        <translation>%1 profiles are made for “%2”:
%3
Vornik uses the one used last, &quot;%4&quot;.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; 已經存在。
要取代它嗎？</source>
        <translation>&quot;%1&quot; already exists.
Do you want to replace it?</translation>
    </message>
    <message>
        <source>按鍵引擎發生不明的錯誤。</source>
        <translation>An unknown error occurred in the key engine.</translation>
    </message>
    <message>
        <source>按鍵對照檔 &quot;%1&quot; 有誤：%2</source>
        <translation>The key map file &quot;%1&quot; is damaged: %2</translation>
    </message>
    <message>
        <source>無法讀取設定檔 &quot;%1&quot;：%2</source>
        <translation>Cannot load the profile &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>無法讀取設定檔 &quot;%1&quot;：檔案大於設定檔的上限（1 MiB）。</source>
        <translation>Cannot load the profile &quot;%1&quot;: the file is larger than a profile may be (1 MiB).</translation>
    </message>
    <message>
        <source>無法讀取設定檔 &quot;%1&quot;，它不是完好的設定檔：
%2</source>
        <translation>Cannot load the profile &quot;%1&quot;, it is not a sound profile:
%2</translation>
    </message>
    <message>
        <source>無法儲存設定檔 &quot;%1&quot;：設定中有設定檔無法記錄的內容：%2</source>
        <translation>Cannot save the profile &quot;%1&quot;: the tables hold what a profile cannot: %2</translation>
    </message>
    <message>
        <source>無法儲存設定檔 &quot;%1&quot;：無法在資料夾 &quot;%2&quot; 中建立檔案：%3</source>
        <translation>Cannot save the profile &quot;%1&quot;: cannot create a file in the folder &quot;%2&quot;: %3</translation>
    </message>
    <message>
        <source>無法儲存設定檔 &quot;%1&quot;：寫入失敗：%2</source>
        <translation>Cannot save the profile &quot;%1&quot;: writing failed: %2</translation>
    </message>
    <message>
        <source>無法儲存設定檔 &quot;%1&quot;：無法寫入磁碟：%2</source>
        <translation>Cannot save the profile &quot;%1&quot;: flushing to the disk failed: %2</translation>
    </message>
    <message>
        <source>無法儲存設定檔 &quot;%1&quot;：無法取代原有的檔案：%2</source>
        <translation>Cannot save the profile &quot;%1&quot;: cannot replace the file: %2</translation>
    </message>
    <message>
        <source>找不到上次使用的設定檔 &quot;%1&quot;，以空白的設定開始。</source>
        <translation>The profile used last, &quot;%1&quot;, is gone; starting with empty tables.</translation>
    </message>
    <message>
        <source>按鍵設定或招式已經變更，要儲存嗎？</source>
        <translation>The bindings or moves have changed. Do you want to save them?</translation>
    </message>
    <message>
        <source>請先選擇目標程式（工具列的清單，或 CTRL+J），再設定此遊戲。</source>
        <translation>Choose the target program first (from the list in the toolbar, or with CTRL+J), then use the profile for it.</translation>
    </message>
    <message>
        <source>關於</source>
        <translation>About</translation>
    </message>
    <message>
        <source>版本 %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>&lt;a href=&apos;%1&apos;&gt;使用說明&lt;/a&gt;</source>
        <translation>&lt;a href=&apos;%1&apos;&gt;User guide&lt;/a&gt;</translation>
    </message>
    <message>
        <source>&lt;a href=&apos;%1#profile-files&apos;&gt;設定檔格式&lt;/a&gt;</source>
        <translation>&lt;a href=&apos;%1#profile-files&apos;&gt;Profile format&lt;/a&gt;</translation>
    </message>
    <message>
        <source>使用招式對應</source>
        <translation>Play a move</translation>
    </message>
    <message>
        <source>Vornik   (熱鍵：CTRL+J)</source>
        <translation>Vornik   (Hot key: CTRL+J)</translation>
    </message>
    <message>
        <source>讀取舊檔</source>
        <translation>Open a profile</translation>
    </message>
    <message>
        <source>另存新檔</source>
        <translation>Save the profile as</translation>
    </message>
    <message>
        <source>背景執行</source>
        <translation>Run in the background</translation>
    </message>
    <message>
        <source>Refeash</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>檔案</source>
        <translation>File</translation>
    </message>
    <message>
        <source>讀取舊檔...</source>
        <translation>Open Profile...</translation>
    </message>
    <message>
        <source>另存新檔...</source>
        <translation>Save Profile As...</translation>
    </message>
    <message>
        <source>設定此遊戲</source>
        <translation>Use This Profile for the Target Game</translation>
    </message>
    <message>
        <source>目前的目標程式啟動或被選為目標時，自動載入這個設定檔</source>
        <translation>Load this profile by itself whenever the current target program becomes the target</translation>
    </message>
    <message>
        <source>Windows 按鍵設定…</source>
        <translation>Windows Keys…</translation>
    </message>
    <message>
        <source>Windows 按鍵設定</source>
        <translation>Windows Keys</translation>
    </message>
    <message>
        <source>只送掃描碼</source>
        <translation>Scan codes only</translation>
    </message>
    <message>
        <source>給只讀鍵盤硬體碼、不理會虛擬鍵碼的遊戲</source>
        <translation>For games that read only the keyboard&apos;s hardware codes, not the virtual keys</translation>
    </message>
    <message>
        <source> 毫秒</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>招式的每個按鍵至少按住這麼久，給會漏掉太短按鍵的遊戲；0：照招式的速度</source>
        <translation>Every key of a move stays down at least this long, for games that miss shorter presses; 0: the move&apos;s own speed</translation>
    </message>
    <message>
        <source>這些設定只在 Windows 上作用；在這裡只隨設定檔保存。</source>
        <translation>These settings act on Windows only; here they are only kept with the profile.</translation>
    </message>
    <message>
        <source>招式按鍵最短按住：</source>
        <translation>Shortest press of a move&apos;s key:</translation>
    </message>
    <message>
        <source>程序 %1</source>
        <translation>process %1</translation>
    </message>
    <message>
        <source>目標程式「%1」以系統管理員身分執行，Windows 不讓 Vornik 送出的按鍵傳給它。
請也以系統管理員身分執行 Vornik。</source>
        <translation>The target program &quot;%1&quot; runs as administrator, and Windows lets none of the keys Vornik sends reach it.
Run Vornik as administrator too.</translation>
    </message>
    <message>
        <source>&amp;隱藏</source>
        <translation>&amp;Hide</translation>
    </message>
    <message>
        <source>&amp;離開</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>關於版權...</source>
        <translation>About Vornik...</translation>
    </message>
    <message>
        <source>無法送出按鍵：%1。
按鍵綁定不會有作用，搖桿的即時顯示仍可使用。</source>
        <translation>Key events cannot be sent: %1.
Bindings will do nothing; the joysticks&apos; live view still works.</translation>
    </message>
    <message>
        <source>SendInput（虛擬鍵碼與掃描碼）</source>
        <translation>SendInput (virtual keys with their scan codes)</translation>
    </message>
    <message>
        <source>SendInput（只用掃描碼）</source>
        <translation>SendInput (scan codes only)</translation>
    </message>
    <message>
        <source>無法送出按鍵：%1。</source>
        <translation>Keys cannot be sent: %1.</translation>
    </message>
    <message>
        <source>還沒有選擇目標程式：從上方的清單選擇，或把程式切到前景後按 CTRL+J。</source>
        <translation>No target chosen yet: pick it from the list above, or bring the program to the front and press CTRL+J.</translation>
    </message>
    <message>
        <source>目標「%1」在前景，按鍵會送給它。</source>
        <translation>The target “%1” is in front: keys go to it.</translation>
    </message>
    <message>
        <source>目標「%1」在前景，按鍵經由 %2 送給它。</source>
        <translation>The target “%1” is in front: keys go to it through %2.</translation>
    </message>
    <message>
        <source>目標「%1」在前景，但它以系統管理員權限執行，收不到 Vornik 送出的按鍵。</source>
        <translation>The target “%1” is in front but runs as administrator (elevated): it does not receive Vornik&apos;s keys.</translation>
    </message>
    <message>
        <source>目標程式已經結束：請重新選擇目標。</source>
        <translation>The target program has ended: choose the target again.</translation>
    </message>
    <message>
        <source>前景的視窗不是 X11 視窗（是 Wayland 原生程式）：Vornik 看不到它，也無法送按鍵給它。</source>
        <translation>The window in front is not an X11 window (a Wayland-native program): Vornik cannot see it or send it keys.</translation>
    </message>
    <message>
        <source>目標程式不在前景，前景沒有任何視窗：按鍵不會送出。</source>
        <translation>No window is in front, so neither is the target: no keys go out.</translation>
    </message>
    <message>
        <source>目標程式不在前景：按鍵不會送出。</source>
        <translation>The target is not in front: no keys go out.</translation>
    </message>
    <message>
        <source>目標程式不在前景，前景是「%1」：按鍵不會送出。</source>
        <translation>“%1” is in front, not the target: no keys go out.</translation>
    </message>
    <message>
        <source>鍵盤的「%1」已勾選。</source>
        <translation>The keyboard&apos;s “%1” box is ticked.</translation>
    </message>
    <message>
        <source>搖桿 %1 的「%2」已勾選。</source>
        <translation>Joystick %1: the “%2” box is ticked.</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>Wayland 虛擬鍵盤</source>
        <translation>the Wayland virtual keyboard</translation>
    </message>
    <message>
        <source>送出按鍵的方式</source>
        <translation>Send keys through</translation>
    </message>
    <message>
        <source>uinput 虛擬鍵盤與滑鼠</source>
        <translation>the uinput virtual keyboard and mouse</translation>
    </message>
    <message>
        <source>Vornik 看不到前景的視窗（Wayland 原生程式）：%1。按鍵不會送出。</source>
        <translation>Vornik cannot see the window in front (a Wayland-native program): %1. No keys go out.</translation>
    </message>
    <message>
        <source>前景是 Wayland 原生視窗：鍵盤頁的綁定要等 XWayland 視窗在前景時才看得到鍵盤。</source>
        <translation>A Wayland-native window is in front: the keyboard page's bindings see the keyboard only while an XWayland window is in front.</translation>
    </message>
    <message>
        <source>沒有連接搖桿。</source>
        <translation>No joystick is connected.</translation>
    </message>
    <message>
        <source>搖桿 %1</source>
        <translation>Joystick %1</translation>
    </message>
    <message>
        <source>這個桌面沒有通知區域（系統匣），無法背景執行：
隱藏後將無法把程式叫回來。</source>
        <translation>This desktop has no notification area (system tray), so Vornik cannot run in the background:
once hidden, it could not be brought back.</translation>
    </message>
    <message>
        <source>編輯</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>刪除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>編號</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>名稱</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>內容</source>
        <translation>Steps</translation>
    </message>
    <message>
        <source>是否確定把所有招式記錄刪除？</source>
        <translation>Delete every recorded move?</translation>
    </message>
    <message>
        <source>設定招式</source>
        <translation>Edit Move</translation>
    </message>
    <message>
        <source>名稱：</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>速度：</source>
        <translation>Speed:</translation>
    </message>
    <message>
        <source>快</source>
        <translation>Fast</translation>
    </message>
    <message>
        <source>慢</source>
        <translation>Slow</translation>
    </message>
    <message>
        <source>重疊</source>
        <translation>Overlap</translation>
    </message>
    <message>
        <source>非重疊</source>
        <translation>In turn</translation>
    </message>
    <message>
        <source>錄製</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>重複次數： %1</source>
        <translation>Repeat: %1</translation>
    </message>
    <message>
        <source>尚未存檔的設定未能保留給下次啟動（每次變更都會再試一次）：</source>
        <translation>Your unsaved setup could not be kept for the next start (Vornik tries again at every change):</translation>
    </message>
    <message>
        <source>無法保留上次未儲存的設定 &quot;%1&quot;：無法改名為 &quot;%2&quot;。</source>
        <translation>The unsaved setup of an earlier start, &quot;%1&quot;, could not be kept: it cannot be renamed &quot;%2&quot;.</translation>
    </message>
    <message>
        <source>設定檔：沒有（這些設定還沒存成檔案）</source>
        <translation>Profile: none (these settings are in no file yet)</translation>
    </message>
    <message>
        <source>設定檔：%1</source>
        <translation>Profile: %1</translation>
    </message>
    <message>
        <source>「%1」成為目標時，Vornik 會載入設定檔 &quot;%2&quot;。</source>
        <translation>Whenever “%1” becomes the target, Vornik loads the profile &quot;%2&quot;.</translation>
    </message>
    <message>
        <source>視窗「%1」沒有說明它屬於哪個程式：Vornik 無法判斷它何時在最前面，不會送按鍵給它。</source>
        <translation>The window “%1” does not say which program it belongs to: Vornik cannot tell when it is in front, and sends it no keys.</translation>
    </message>
    <message>
        <source>重複次數：0（不會播放）</source>
        <translation>Repeat: 0 (never plays)</translation>
    </message>
    <message>
        <source>按鍵編號</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>儲存了 %1 個鍵</source>
        <translation>%1 keys stored</translation>
    </message>
    <message>
        <source>錄製中...</source>
        <translation>Recording...</translation>
    </message>
    <message>
        <source>現在錄製中，如果要結束錄影的話</source>
        <translation>Recording. To stop recording,</translation>
    </message>
    <message>
        <source>請按右下方的鍵離開。</source>
        <translation>press the button at the bottom right.</translation>
    </message>
    <message>
        <source>複合鍵</source>
        <translation>Chord key</translation>
    </message>
    <message>
        <source>結束錄製</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>設定了第%1號複合鍵</source>
        <translation>Chord key set on step %1</translation>
    </message>
    <message>
        <source>準備輸入複合鍵</source>
        <translation>Press the chord key</translation>
    </message>
    <message>
        <source>左鍵</source>
        <translation>Left button</translation>
    </message>
    <message>
        <source>中鍵</source>
        <translation>Middle button</translation>
    </message>
    <message>
        <source>右鍵</source>
        <translation>Right button</translation>
    </message>
    <message>
        <source>滾輪向上</source>
        <translation>Wheel up</translation>
    </message>
    <message>
        <source>滾輪向下</source>
        <translation>Wheel down</translation>
    </message>
    <message>
        <source>滾輪向左</source>
        <translation>Wheel left</translation>
    </message>
    <message>
        <source>滾輪向右</source>
        <translation>Wheel right</translation>
    </message>
    <message>
        <source>上一頁鍵</source>
        <translation>Back button</translation>
    </message>
    <message>
        <source>下一頁鍵</source>
        <translation>Forward button</translation>
    </message>
    <message>
        <source>滑鼠：</source>
        <translation>Mouse: </translation>
    </message>
    <message>
        <source>滑鼠</source>
        <translation>Mouse</translation>
    </message>
    <message>
        <source>按鍵（對應功能）</source>
        <translation>Keys (its bindings)</translation>
    </message>
    <message>
        <source>滑鼠指標</source>
        <translation>Mouse pointer</translation>
    </message>
    <message>
        <source>滑鼠滾輪</source>
        <translation>Mouse wheel</translation>
    </message>
    <message>
        <source> 像素/秒</source>
        <translation> px/s</translation>
    </message>
    <message>
        <source> 格/秒</source>
        <translation> notches/s</translation>
    </message>
    <message>
        <source>指標速度：</source>
        <translation>Pointer speed:</translation>
    </message>
    <message>
        <source>加速曲線：</source>
        <translation>Curve:</translation>
    </message>
    <message>
        <source>滾輪速度：</source>
        <translation>Wheel speed:</translation>
    </message>
    <message>
        <source>1.0：速度與推動成正比；越大，輕推越慢</source>
        <translation>1.0: the speed follows the push; higher: slower for a light push</translation>
    </message>
    <message>
        <source>搖桿 %1 的滑鼠設定</source>
        <translation>Joystick %1: sticks and triggers</translation>
    </message>
    <message>
        <source>滑鼠設定…</source>
        <translation>Settings…</translation>
    </message>
    <message>
        <source>設定：%1</source>
        <translation>Settings: %1</translation>
    </message>
    <message>
        <source>上</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>下</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>左</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>右</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>右搖桿：%1</source>
        <translation>Right stick: %1</translation>
    </message>
    <message>
        <source>左扳機</source>
        <translation>Left trigger</translation>
    </message>
    <message>
        <source>右扳機</source>
        <translation>Right trigger</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>按鈕 %1</source>
        <translation>Button %1</translation>
    </message>
    <message>
        <source>輸入</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>左上</source>
        <translation>Up-left</translation>
    </message>
    <message>
        <source>左下</source>
        <translation>Down-left</translation>
    </message>
    <message>
        <source>右上</source>
        <translation>Up-right</translation>
    </message>
    <message>
        <source>右下</source>
        <translation>Down-right</translation>
    </message>
    <message>
        <source>右搖桿</source>
        <translation>Right stick</translation>
    </message>
    <message>
        <source>左搖桿與方向鍵</source>
        <translation>Left stick and D-pad</translation>
    </message>
    <message>
        <source>搖桿用作對應功能、滑鼠指標或滑鼠滾輪，及其速度；搖桿的不動區；扳機的按下點</source>
        <translation>Whether each stick presses its bindings, moves the pointer or turns the wheel, and how fast; the sticks&apos; dead zones; where the triggers press</translation>
    </message>
    <message>
        <source>左搖桿用作：</source>
        <translation>The left stick drives:</translation>
    </message>
    <message>
        <source>左搖桿不動區：</source>
        <translation>Left dead zone:</translation>
    </message>
    <message>
        <source>右搖桿用作：</source>
        <translation>The right stick drives:</translation>
    </message>
    <message>
        <source>右搖桿不動區：</source>
        <translation>Right dead zone:</translation>
    </message>
    <message>
        <source>扳機按下點：</source>
        <translation>Triggers press at:</translation>
    </message>
    <message>
        <source>搖桿離中心多遠（半程的百分比）以內算在中間：不按方向鍵，也不移動指標；33 % 即向來的三等分</source>
        <translation>How far from the centre (in % of half its travel) the stick counts as centred: no direction, no pointer motion; 33 % is the thirds always used</translation>
    </message>
    <message>
        <source>扳機按過行程的這個百分比就算按下，退到比它低 5 % 才放開</source>
        <translation>A trigger is pressed past this share of its travel, and let go only 5 % below it</translation>
    </message>
    <message>
        <source>十字鍵</source>
        <translation>D-pad</translation>
    </message>
    <message>
        <source>移動滑鼠指標</source>
        <translation>Moves the pointer</translation>
    </message>
    <message>
        <source>轉動滑鼠滾輪</source>
        <translation>Turns the wheel</translation>
    </message>
    <message>
        <source>Vornik 設定檔 (*.vornik)</source>
        <translation>Vornik profile (*.vornik)</translation>
    </message>
    <message>
        <source>X 伺服器的 XTest（如同從鍵盤輸入）</source>
        <translation>the X server (XTest), as if typed on the keyboard</translation>
    </message>
    <message>
        <source>每一步的鍵放開後，才按下一步的鍵</source>
        <translation>Each step's keys are let go before the next step's go down</translation>
    </message>
    <message>
        <source>每一步的鍵還按著時，就按下一步的鍵</source>
        <translation>Each step's keys go down while the step before is still held</translation>
    </message>
    <message>
        <source>第 %1 層</source>
        <translation>Layer %1</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>按住時用%1</source>
        <translation>%1 while held</translation>
    </message>
    <message>
        <source>切換%1</source>
        <translation>%1 on, press again off</translation>
    </message>
    <message>
        <source>下一鍵用%1</source>
        <translation>%1 for the next press</translation>
    </message>
    <message>
        <source>回到上一層</source>
        <translation>Back to the previous layer</translation>
    </message>
    <message>
        <source>按下時</source>
        <translation>On press</translation>
    </message>
    <message>
        <source>輕按</source>
        <translation>Tap</translation>
    </message>
    <message>
        <source>長按</source>
        <translation>Hold</translation>
    </message>
    <message>
        <source>連按兩下</source>
        <translation>Double press</translation>
    </message>
    <message>
        <source>放開時</source>
        <translation>On release</translation>
    </message>
    <message>
        <source>切換層</source>
        <translation>Layer</translation>
    </message>
    <message>
        <source>切換到哪一層</source>
        <translation>Layer to switch to</translation>
    </message>
    <message>
        <source>怎樣切換</source>
        <translation>How it switches</translation>
    </message>
    <message>
        <source>按住時用這一層</source>
        <translation>While held</translation>
    </message>
    <message>
        <source>按一下開，再按一下關</source>
        <translation>Press on, press again off</translation>
    </message>
    <message>
        <source>只用於下一個按鍵</source>
        <translation>For the next press only</translation>
    </message>
    <message>
        <source>何時作用：</source>
        <translation>Fires:</translation>
    </message>
    <message>
        <source>輕按（放開時）</source>
        <translation>Tap (at the release)</translation>
    </message>
    <message>
        <source>同時按下：</source>
        <translation>Pressed with:</translation>
    </message>
    <message>
        <source>（不用）</source>
        <translation>(nothing)</translation>
    </message>
    <message>
        <source>設定：%1（%2）</source>
        <translation>Settings: %1 (%2)</translation>
    </message>
    <message>
        <source>：</source>
        <translation>: </translation>
    </message>
    <message>
        <source>與%1同按</source>
        <translation>With %1</translation>
    </message>
    <message>
        <source>由下面的層決定</source>
        <translation>As the layer beneath</translation>
    </message>
    <message>
        <source>顯示及設定：</source>
        <translation>Show and set:</translation>
    </message>
    <message>
        <source>顯示及設定哪一層</source>
        <translation>Layer shown and set</translation>
    </message>
    <message>
        <source>正在作用：%1</source>
        <translation>In use: %1</translation>
    </message>
    <message>
        <source>長按時間：</source>
        <translation>Hold time:</translation>
    </message>
    <message>
        <source>連按兩下間隔：</source>
        <translation>Double press within:</translation>
    </message>
    <message>
        <source>同時按下容許：</source>
        <translation>Pressed together within:</translation>
    </message>
    <message>
        <source>按住超過這麼久算長按；短於它放開算輕按</source>
        <translation>Held this long is a hold; let go sooner is a tap</translation>
    </message>
    <message>
        <source>放開後這麼久之內再按一下，算連按兩下</source>
        <translation>Pressed again within this time after the release is a double press</translation>
    </message>
    <message>
        <source>兩個鍵相隔這麼久之內按下算同時按下；單獨按一個鍵最多晚這麼久才作用</source>
        <translation>Two inputs pressed within this time of each other are pressed together; one pressed alone acts at most this late</translation>
    </message>
    <message>
        <source>層的名稱</source>
        <translation>Layer names</translation>
    </message>
    <message>
        <source>第 %1 層的名稱</source>
        <translation>Name of layer %1</translation>
    </message>
    <message>
        <source>搖桿 %1 正在用%2</source>
        <translation>Joystick %1 uses %2</translation>
    </message>
</context>
</TS>
