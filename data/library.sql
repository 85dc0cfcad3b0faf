-- The sample function library. The build turns this script into the encrypted xqd.dll.
-- Columns: 函数名称 (function name), 网址 (address), TI (title), PR (parameters), VA (return value),
-- ABC (source). Only the name and the address are shown by the program.
CREATE TABLE CSS (
  函数名称 TEXT,
  网址 TEXT,
  TI TEXT,
  PR TEXT,
  VA TEXT,
  ABC TEXT
);

INSERT INTO CSS (函数名称, 网址, TI, PR, VA, ABC) VALUES
  ('dateDiffDays', 'http://www.varnel.com/jsmb/datediffdays.htm', '两个日期相差的天数', 'd1, d2', '数字', 'function dateDiffDays(d1, d2) {
  return Math.round((d2.getTime() - d1.getTime()) / 86400000);
}'),
  ('isMobile', 'http://www.varnel.com/jsmb/ismobile.htm', '手机号码校验', 'str', '布尔', 'function isMobile(str) {
  return /^1\d{10}$/.test(str);
}'),
  ('hideElement', 'http://www.varnel.com/jsmb/hideelement.htm', '隐藏元素', 'id', '无', 'function hideElement(id) {
  var e = document.getElementById(id);
  if (e) { e.style.display = "none"; }
}'),
  ('formatDate', 'http://www.varnel.com/jsmb/formatdate.htm', '按格式输出日期', 'date, fmt', '字符串', 'function formatDate(date, fmt) {
  var pad = function (n) { return n < 10 ? "0" + n : "" + n; };
  return fmt.replace("yyyy", date.getFullYear()).replace("MM", pad(date.getMonth() + 1)).replace("dd", pad(date.getDate()));
}'),
  ('trimRight', 'http://www.varnel.com/jsmb/trimright.htm', '去掉结尾空白', 'str', '字符串', 'function trimRight(str) {
  return str.replace(/\s+$/, "");
}'),
  ('全角转半角', 'http://www.varnel.com/jsmb/halfwidth.htm', '全角字符转为半角', 'str', '字符串', 'function toHalfWidth(str) {
  return str.replace(/[\uff01-\uff5e]/g, function (c) { return String.fromCharCode(c.charCodeAt(0) - 65248); }).replace(/\u3000/g, " ");
}'),
  ('setHomePage', 'http://www.varnel.com/jsmb/sethomepage.htm', '设为首页', 'url', '无', 'function setHomePage(obj, url) {
  if (obj.style && obj.setHomePage) { obj.style.behavior = "url(#default#homepage)"; obj.setHomePage(url); }
}'),
  ('getQueryString', 'http://www.varnel.com/jsmb/getquerystring.htm', '读取网址参数', 'name', '字符串', 'function getQueryString(name) {
  var m = location.search.match(new RegExp("[?&]" + name + "=([^&]*)"));
  return m ? decodeURIComponent(m[1]) : "";
}'),
  ('setCookie', 'http://www.varnel.com/jsmb/setcookie.htm', '写入Cookie', 'name, value, days', '无', 'function setCookie(name, value, days) {
  var d = new Date();
  d.setTime(d.getTime() + days * 86400000);
  document.cookie = name + "=" + escape(value) + "; expires=" + d.toGMTString() + "; path=/";
}'),
  ('trim', 'http://www.varnel.com/jsmb/trim.htm', '去掉首尾空白', 'str', '字符串', 'function trim(str) {
  return str.replace(/^\s+|\s+$/g, "");
}'),
  ('addFavorite', 'http://www.varnel.com/jsmb/addfavorite.htm', '加入收藏夹', 'title, url', '无', 'function addFavorite(title, url) {
  if (window.sidebar && window.sidebar.addPanel) { window.sidebar.addPanel(title, url, ""); }
  else if (window.external) { window.external.AddFavorite(url, title); }
}'),
  ('数字转大写金额', 'http://www.varnel.com/jsmb/chinesemoney.htm', '把金额数字转为中文大写', 'num', '字符串', 'function toChineseMoney(num) {
  var digits = "零壹贰叁肆伍陆柒捌玖", units = "仟佰拾亿仟佰拾万仟佰拾元角分";
  var s = Math.round(num * 100).toString(), out = "";
  units = units.substr(units.length - s.length);
  for (var i = 0; i < s.length; i++) { out += digits.charAt(s.charAt(i)) + units.charAt(i); }
  return out;
}'),
  ('toggleElement', 'http://www.varnel.com/jsmb/toggleelement.htm', '切换元素显示', 'id', '无', 'function toggleElement(id) {
  var e = document.getElementById(id);
  if (e) { e.style.display = e.style.display == "none" ? "" : "none"; }
}'),
  ('getCookie', 'http://www.varnel.com/jsmb/getcookie.htm', '读取Cookie', 'name', '字符串', 'function getCookie(name) {
  var items = document.cookie.split("; ");
  for (var i = 0; i < items.length; i++) {
    var kv = items[i].split("=");
    if (kv[0] == name) { return unescape(kv[1]); }
  }
  return "";
}'),
  ('isChinese', 'http://www.varnel.com/jsmb/ischinese.htm', '是否全为汉字', 'str', '布尔', 'function isChinese(str) {
  return /^[\u4e00-\u9fa5]+$/.test(str);
}'),
  ('truncateText', 'http://www.varnel.com/jsmb/truncatetext.htm', '截断文字并加省略号', 'str, len', '字符串', 'function truncateText(str, len) {
  return str.length > len ? str.substring(0, len) + "..." : str;
}'),
  ('uniqueArray', 'http://www.varnel.com/jsmb/uniquearray.htm', '数组去重', 'arr', '数组', 'function uniqueArray(arr) {
  var seen = {}, out = [];
  for (var i = 0; i < arr.length; i++) {
    if (!seen[arr[i]]) { seen[arr[i]] = true; out.push(arr[i]); }
  }
  return out;
}'),
  ('openCenterWindow', 'http://www.varnel.com/jsmb/opencenterwindow.htm', '居中打开新窗口', 'url, w, h', '窗口', 'function openCenterWindow(url, w, h) {
  var left = (screen.width - w) / 2, top = (screen.height - h) / 2;
  return window.open(url, "_blank", "width=" + w + ",height=" + h + ",left=" + left + ",top=" + top);
}'),
  ('isIdCard', 'http://www.varnel.com/jsmb/isidcard.htm', '身份证号码校验（15或18位）', 'str', '布尔', 'function isIdCard(str) {
  return /^(\d{15}|\d{17}[\dXx])$/.test(str);
}'),
  ('leftPad', 'http://www.varnel.com/jsmb/leftpad.htm', '左侧补足字符', 'str, len, ch', '字符串', 'function leftPad(str, len, ch) {
  str = String(str);
  while (str.length < len) { str = (ch || "0") + str; }
  return str;
}'),
  ('escapeHtml', 'http://www.varnel.com/jsmb/escapehtml.htm', '转义HTML特殊字符', 'str', '字符串', 'function escapeHtml(str) {
  return String(str).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;").replace(/"/g, "&quot;");
}'),
  ('randomInt', 'http://www.varnel.com/jsmb/randomint.htm', '指定范围的随机整数', 'min, max', '数字', 'function randomInt(min, max) {
  return Math.floor(Math.random() * (max - min + 1)) + min;
}'),
  ('preloadImages', 'http://www.varnel.com/jsmb/preloadimages.htm', '预先载入图片', 'list', '无', 'function preloadImages(list) {
  for (var i = 0; i < list.length; i++) { var img = new Image(); img.src = list[i]; }
}'),
  ('getScrollTop', 'http://www.varnel.com/jsmb/getscrolltop.htm', '页面滚动高度', '无', '数字', 'function getScrollTop() {
  return document.documentElement.scrollTop || document.body.scrollTop || 0;
}'),
  ('byteLength', 'http://www.varnel.com/jsmb/bytelength.htm', '按字节计算字符串长度（汉字计2）', 'str', '数字', 'function byteLength(str) {
  var n = 0;
  for (var i = 0; i < str.length; i++) { n += str.charCodeAt(i) > 255 ? 2 : 1; }
  return n;
}'),
  ('showElement', 'http://www.varnel.com/jsmb/showelement.htm', '显示元素', 'id', '无', 'function showElement(id) {
  var e = document.getElementById(id);
  if (e) { e.style.display = ""; }
}'),
  ('trimLeft', 'http://www.varnel.com/jsmb/trimleft.htm', '去掉开头空白', 'str', '字符串', 'function trimLeft(str) {
  return str.replace(/^\s+/, "");
}'),
  ('isEmail', 'http://www.varnel.com/jsmb/isemail.htm', '电子邮件地址校验', 'str', '布尔', 'function isEmail(str) {
  return /^[\w.-]+@[\w-]+(\.[\w-]+)+$/.test(str);
}'),
  ('addLoadEvent', 'http://www.varnel.com/jsmb/addloadevent.htm', '追加页面加载事件', 'func', '无', 'function addLoadEvent(func) {
  var old = window.onload;
  if (typeof old != "function") { window.onload = func; }
  else { window.onload = function () { old(); func(); }; }
}'),
  ('isInteger', 'http://www.varnel.com/jsmb/isinteger.htm', '是否整数', 'str', '布尔', 'function isInteger(str) {
  return /^-?\d+$/.test(str);
}'),
  ('getElementsByClass', 'http://www.varnel.com/jsmb/getelementsbyclass.htm', '按类名取得元素', 'cls, tag', '数组', 'function getElementsByClass(cls, tag) {
  var all = document.getElementsByTagName(tag || "*"), found = [];
  var re = new RegExp("(^|\\s)" + cls + "(\\s|$)");
  for (var i = 0; i < all.length; i++) { if (re.test(all[i].className)) { found.push(all[i]); } }
  return found;
}'),
  ('deleteCookie', 'http://www.varnel.com/jsmb/deletecookie.htm', '删除Cookie', 'name', '无', 'function deleteCookie(name) {
  document.cookie = name + "=; expires=Thu, 01 Jan 1970 00:00:00 GMT; path=/";
}'),
  ('copyToClipboard', 'http://www.varnel.com/jsmb/copytoclipboard.htm', '复制文字到剪贴板', 'text', '布尔', 'function copyToClipboard(text) {
  if (window.clipboardData) { return window.clipboardData.setData("Text", text); }
  return false;
}'),
  ('checkAll', 'http://www.varnel.com/jsmb/checkall.htm', '全选或全不选复选框', 'form, checked', '无', 'function checkAll(form, checked) {
  for (var i = 0; i < form.elements.length; i++) {
    var e = form.elements[i];
    if (e.type == "checkbox") { e.checked = checked; }
  }
}'),
  ('removeHtmlTags', 'http://www.varnel.com/jsmb/removehtmltags.htm', '去掉HTML标记', 'str', '字符串', 'function removeHtmlTags(str) {
  return str.replace(/<[^>]*>/g, "");
}'),
  ('formatMoney', 'http://www.varnel.com/jsmb/formatmoney.htm', '金额千分位格式化', 'num, digits', '字符串', 'function formatMoney(num, digits) {
  var parts = Number(num).toFixed(digits).split(".");
  parts[0] = parts[0].replace(/\B(?=(\d{3})+(?!\d))/g, ",");
  return parts.join(".");
}'),
  ('isPostCode', 'http://www.varnel.com/jsmb/ispostcode.htm', '邮政编码校验', 'str', '布尔', 'function isPostCode(str) {
  return /^\d{6}$/.test(str);
}');
