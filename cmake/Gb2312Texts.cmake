# Text tables are written in UTF-8, but the programs hold their Chinese texts
# as GB2312 (code page 936) bytes, as the system's dialogs expect them. A
# target given here has the string literals of its units compiled into that
# code page; tests compare them with GB2312 made from their own UTF-8 copy.
function(arv_gb2312_texts target)
  target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=CP936)
endfunction()
